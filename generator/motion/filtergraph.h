#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

struct AVFilterContext;
struct AVFilterGraph;
struct AVFrame;

// A libavfilter graph with named video inputs and one output, run on one
// thread so that its frames never depend on the machine.
class FilterGraph
{
public:
    struct Input {
        // The label the description uses for this input, without brackets.
        QByteArray label;
        int width = 0;
        int height = 0;
        // FFmpeg's AVPixelFormat.
        int pixelFormat = 0;
        int timeBaseDenominator = 1;
    };

    FilterGraph();
    ~FilterGraph();

    FilterGraph(const FilterGraph &) = delete;
    FilterGraph &operator=(const FilterGraph &) = delete;

    // Builds the graph from a description such as "[in]palettegen[out]": the
    // inputs by their labels, the output labelled "out" and delivered in
    // outputPixelFormat. An empty result or the reason it failed.
    QString open(const QByteArray &description, const QVector<Input> &inputs, int outputPixelFormat);
    // Hands a frame to an input (the graph takes its own reference), or ends
    // the input when frame is null. An AVERROR code, negative on failure.
    int push(int input, const AVFrame *frame);
    // The next frame of the output into frame: 0, AVERROR(EAGAIN) when more
    // input is needed, AVERROR_EOF after the last frame, or another error.
    int pull(AVFrame *frame);

private:
    AVFilterGraph *m_graph = nullptr;
    QVector<AVFilterContext *> m_sources;
    AVFilterContext *m_sink = nullptr;
};
