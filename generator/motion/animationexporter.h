#pragma once

#include "exportresult.h"

#include <QString>

#include <functional>

class CircuitGenerator;

// The loop export of the plug-in and the command-line tool: like the still exports it
// reseeds the random streams, regenerates the circuit from the stored settings and draws
// it, then encodes every frame of a seamless loop (LoopFrames) into one animation file
// (AnimationWriter, by the file's suffix). Frame 0 has the pixels of the still export at
// the same scale. The file appears complete or not at all.
class AnimationExporter
{
public:
    struct Options {
        int frames = 48;
        int fps = 24;
        float scalePercent = 100;
    };
    // Called after each frame is encoded with the frames done and the frames to encode in
    // all (twice the loop for GIF, whose palette is taken from the whole loop first);
    // returning false cancels the export, leaving no file.
    using Progress = std::function<bool(int done, int total)>;

    explicit AnimationExporter(CircuitGenerator &generator);

    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Nothing is written when the generator refuses its settings, when the canvas has no
    // pixels or exceeds the whole-canvas limits or the formats' 16383 pixels a side, or when
    // an option is out of range (reason says which).
    ExportResult exportAnimation(const QString &file, const Options &options);

private:
    CircuitGenerator &m_generator;
    Progress m_progress;
};
