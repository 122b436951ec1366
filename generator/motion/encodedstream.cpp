#include "encodedstream.h"

#include "averror.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace {

AVDictionary *dictionary(const AnimationFormat::Options &options)
{
    AVDictionary *result = nullptr;
    for (const auto &option : options)
        av_dict_set(&result, option.first.constData(), option.second.constData(), 0);
    return result;
}

// The options FFmpeg did not recognise: a sign that the library differs from
// the one the settings were written for, which must not pass silently.
QString unusedOptions(AVDictionary *options)
{
    QStringList names;
    const AVDictionaryEntry *entry = nullptr;
    while ((entry = av_dict_get(options, "", entry, AV_DICT_IGNORE_SUFFIX)))
        names.append(QString::fromUtf8(entry->key));
    return names.join(QStringLiteral(", "));
}

} // namespace

EncodedStream::EncodedStream() = default;

EncodedStream::~EncodedStream()
{
    close();
}

void EncodedStream::close()
{
    if (m_format) {
        avio_closep(&m_format->pb);
        avformat_free_context(m_format);
        m_format = nullptr;
    }
    avcodec_free_context(&m_codec);
    av_packet_free(&m_packet);
    m_stream = nullptr;
}

QString EncodedStream::open(const QString &file, const AnimationFormat &format, int width, int height, int fps)
{
    const AVCodec *encoder = avcodec_find_encoder_by_name(format.encoder.constData());
    if (!encoder)
        return QStringLiteral("this FFmpeg has no %1 encoder").arg(QString::fromLatin1(format.encoder));
    const QByteArray path = QFile::encodeName(file);
    int result = avformat_alloc_output_context2(&m_format, nullptr, format.muxer.constData(), path.constData());
    if (result < 0 || !m_format)
        return QStringLiteral("this FFmpeg has no %1 muxer").arg(QString::fromLatin1(format.muxer));
    m_format->flags |= AVFMT_FLAG_BITEXACT;

    m_codec = avcodec_alloc_context3(encoder);
    m_packet = av_packet_alloc();
    if (!m_codec || !m_packet)
        return QStringLiteral("cannot allocate the encoder");
    m_codec->width = width;
    m_codec->height = height;
    m_codec->pix_fmt = av_get_pix_fmt(format.pixelFormat.constData());
    m_codec->time_base = AVRational {1, fps};
    m_codec->framerate = AVRational {fps, 1};
    m_codec->sample_aspect_ratio = AVRational {1, 1};
    m_codec->flags |= AV_CODEC_FLAG_BITEXACT;
    if (format.evenSize) {
        m_codec->color_range = AVCOL_RANGE_MPEG;
        m_codec->colorspace = AVCOL_SPC_BT709;
        m_codec->color_primaries = AVCOL_PRI_BT709;
        m_codec->color_trc = AVCOL_TRC_BT709;
    }
    if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
        m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    AVDictionary *encoderOptions = dictionary(format.encoderOptions);
    result = avcodec_open2(m_codec, encoder, &encoderOptions);
    const QString unusedEncoderOptions = unusedOptions(encoderOptions);
    av_dict_free(&encoderOptions);
    if (result < 0)
        return QStringLiteral("cannot open the %1 encoder: %2")
                .arg(QString::fromLatin1(format.encoder), avErrorText(result));
    if (!unusedEncoderOptions.isEmpty())
        return QStringLiteral("the %1 encoder does not know %2")
                .arg(QString::fromLatin1(format.encoder), unusedEncoderOptions);

    m_stream = avformat_new_stream(m_format, nullptr);
    if (!m_stream)
        return QStringLiteral("cannot allocate the stream");
    m_stream->time_base = m_codec->time_base;
    m_stream->avg_frame_rate = m_codec->framerate;
    m_stream->r_frame_rate = m_codec->framerate;
    result = avcodec_parameters_from_context(m_stream->codecpar, m_codec);
    if (result < 0)
        return QStringLiteral("cannot set up the stream: %1").arg(avErrorText(result));

    result = avio_open(&m_format->pb, path.constData(), AVIO_FLAG_WRITE);
    if (result < 0)
        return QStringLiteral("cannot open %1: %2").arg(file, avErrorText(result));
    AVDictionary *muxerOptions = dictionary(format.muxerOptions);
    result = avformat_write_header(m_format, &muxerOptions);
    const QString unusedMuxerOptions = unusedOptions(muxerOptions);
    av_dict_free(&muxerOptions);
    if (result < 0)
        return QStringLiteral("cannot write the file header: %1").arg(avErrorText(result));
    m_headerWritten = true;
    if (!unusedMuxerOptions.isEmpty())
        return QStringLiteral("the %1 muxer does not know %2")
                .arg(QString::fromLatin1(format.muxer), unusedMuxerOptions);
    return {};
}

QString EncodedStream::write(const AVFrame *frame)
{
    if (!m_headerWritten)
        return QStringLiteral("the file is not open");
    const int result = avcodec_send_frame(m_codec, frame);
    if (result < 0)
        return QStringLiteral("the encoder failed: %1").arg(avErrorText(result));
    return drain();
}

QString EncodedStream::drain()
{
    for (;;) {
        int result = avcodec_receive_packet(m_codec, m_packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return {};
        if (result < 0)
            return QStringLiteral("the encoder failed: %1").arg(avErrorText(result));
        if (m_packet->duration == 0)
            m_packet->duration = 1;
        av_packet_rescale_ts(m_packet, m_codec->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        result = av_interleaved_write_frame(m_format, m_packet);
        if (result < 0)
            return QStringLiteral("cannot write the file: %1").arg(avErrorText(result));
        if (m_format->pb->error < 0)
            return QStringLiteral("cannot write the file: %1").arg(avErrorText(m_format->pb->error));
    }
}

QString EncodedStream::finish()
{
    if (!m_headerWritten)
        return QStringLiteral("the file is not open");
    int result = avcodec_send_frame(m_codec, nullptr);
    if (result < 0)
        return QStringLiteral("the encoder failed: %1").arg(avErrorText(result));
    const QString drained = drain();
    if (!drained.isEmpty())
        return drained;
    result = av_write_trailer(m_format);
    if (result < 0)
        return QStringLiteral("cannot finish the file: %1").arg(avErrorText(result));
    const int pending = m_format->pb->error;
    result = avio_closep(&m_format->pb);
    if (pending < 0 || result < 0)
        return QStringLiteral("cannot write the file: %1").arg(avErrorText(pending < 0 ? pending : result));
    avformat_free_context(m_format);
    m_format = nullptr;
    return {};
}
