#include "filtergraph.h"

#include "averror.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

FilterGraph::FilterGraph() = default;

FilterGraph::~FilterGraph()
{
    avfilter_graph_free(&m_graph);
}

QString FilterGraph::open(const QByteArray &description, const QVector<Input> &inputs, int outputPixelFormat)
{
    m_graph = avfilter_graph_alloc();
    if (!m_graph)
        return QStringLiteral("cannot allocate a filter graph");
    m_graph->nb_threads = 1;

    AVFilterInOut *sourceEnds = nullptr;
    AVFilterInOut *sinkEnd = avfilter_inout_alloc();
    auto freeEnds = [&] {
        avfilter_inout_free(&sourceEnds);
        avfilter_inout_free(&sinkEnd);
    };
    if (!sinkEnd)
        return QStringLiteral("cannot allocate a filter graph");

    for (int i = inputs.size() - 1; i >= 0; --i) {
        const Input &input = inputs.at(i);
        const QByteArray arguments = "video_size=" + QByteArray::number(input.width) + 'x'
                + QByteArray::number(input.height) + ":pix_fmt=" + av_get_pix_fmt_name(AVPixelFormat(input.pixelFormat))
                + ":time_base=1/" + QByteArray::number(input.timeBaseDenominator) + ":pixel_aspect=1/1";
        AVFilterContext *source = nullptr;
        int result = avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), input.label.constData(),
                                                  arguments.constData(), nullptr, m_graph);
        if (result < 0) {
            freeEnds();
            return QStringLiteral("cannot create a filter input: %1").arg(avErrorText(result));
        }
        m_sources.prepend(source);
        AVFilterInOut *end = avfilter_inout_alloc();
        if (!end) {
            freeEnds();
            return QStringLiteral("cannot allocate a filter graph");
        }
        end->name = av_strdup(input.label.constData());
        end->filter_ctx = source;
        end->pad_idx = 0;
        end->next = sourceEnds;
        sourceEnds = end;
    }

    int result = avfilter_graph_create_filter(&m_sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                              m_graph);
    if (result >= 0) {
        const AVPixelFormat formats[] = {AVPixelFormat(outputPixelFormat), AV_PIX_FMT_NONE};
        result = av_opt_set_int_list(m_sink, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN);
    }
    if (result < 0) {
        freeEnds();
        return QStringLiteral("cannot create the filter output: %1").arg(avErrorText(result));
    }
    sinkEnd->name = av_strdup("out");
    sinkEnd->filter_ctx = m_sink;
    sinkEnd->pad_idx = 0;
    sinkEnd->next = nullptr;

    // What the description reads from are our sources' outputs, and what it
    // writes to is the sink's input.
    result = avfilter_graph_parse_ptr(m_graph, description.constData(), &sinkEnd, &sourceEnds, nullptr);
    freeEnds();
    if (result >= 0)
        result = avfilter_graph_config(m_graph, nullptr);
    if (result < 0)
        return QStringLiteral("cannot build the filter graph \"%1\": %2")
                .arg(QString::fromLatin1(description), avErrorText(result));
    return {};
}

int FilterGraph::push(int input, const AVFrame *frame)
{
    // Pushed through the graph at once: a frame merely queued would wait at the
    // filter's input until the first output is asked for, and GIF's palette
    // pass asks only after the last frame, holding every frame.
    return av_buffersrc_add_frame_flags(m_sources.at(input), const_cast<AVFrame *>(frame),
                                        AV_BUFFERSRC_FLAG_KEEP_REF | AV_BUFFERSRC_FLAG_PUSH);
}

int FilterGraph::pull(AVFrame *frame)
{
    return av_buffersink_get_frame(m_sink, frame);
}
