#pragma once

#include <QImage>

#include <memory>

class ArtworkScene;
class CircuitGenerator;
class LoopFrames;

// The loop of the last preview: its circuit and random choices are kept, so that the page
// can play the signals travelling without generating again or drawing a random number.
// It lasts while the generator holds that circuit and those settings.
class PreviewLoop
{
public:
    PreviewLoop();
    ~PreviewLoop();

    // Keeps the scene a preview was drawn from, made from the generator right after it
    // generated, and the preview's render scale.
    void keep(const CircuitGenerator &generator, std::unique_ptr<ArtworkScene> scene, float renderScale);
    // Frame k of an n-frame loop of that preview, at its size; null when there is none, the
    // generator has read settings or generated since, or k and n are out of range.
    const QImage *frame(const CircuitGenerator &generator, int k, int n);

private:
    std::unique_ptr<ArtworkScene> m_scene;
    std::unique_ptr<LoopFrames> m_frames;
    quint64 m_version = 0;
    float m_renderScale = 1;
};
