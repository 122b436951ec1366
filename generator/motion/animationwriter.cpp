#include "animationwriter.h"

#include "animationencoder.h"
#include "animationformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSize>

#include <dlfcn.h>

namespace {

// The folder of the program or library this code was linked into: the encoder module is
// installed beside the plug-in, and beside or below the command-line tool.
QString ownFolder()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<void *>(&ownFolder), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

QStringList moduleCandidates()
{
    // Test programs built outside the programs' folder name the module themselves.
    const QByteArray named = qgetenv("LUMATRACE_VIDEO_MODULE");
    if (!named.isEmpty())
        return {QString::fromLocal8Bit(named)};
    const QDir folder(ownFolder());
    return {folder.filePath(QLatin1String(kAnimationEncoderModule)),
            QDir::cleanPath(folder.filePath(QStringLiteral(LUMATRACE_VIDEO_MODULE_FROM_BIN "/")
                                            + QLatin1String(kAnimationEncoderModule)))};
}

// Loads the module (the loader loads it once however often it is asked) and makes an
// encoder, or says why it cannot.
std::unique_ptr<AnimationEncoder> createEncoder(const AnimationRequest &request, QString *error)
{
    QStringList reasons;
    for (const QString &candidate : moduleCandidates()) {
        // Never closed: the module's code runs for as long as the process writes animations.
        void *module = dlopen(QFile::encodeName(candidate).constData(), RTLD_NOW | RTLD_LOCAL);
        const auto create = module
                ? reinterpret_cast<CreateAnimationEncoder>(dlsym(module, kCreateAnimationEncoderSymbol))
                : nullptr;
        if (create)
            return std::unique_ptr<AnimationEncoder>(create(request));
        reasons.append(QString::fromLocal8Bit(dlerror()));
    }
    // Every place tried says why: a module that is there but cannot load names its cause.
    *error = QStringLiteral("cannot load the animation encoder %1: %2")
                     .arg(QLatin1String(kAnimationEncoderModule), reasons.join(QStringLiteral("; ")));
    return nullptr;
}

} // namespace

struct AnimationWriter::Private {
    explicit Private(const AnimationRequest &request)
        : request(request)
        , format(AnimationFormat::forPath(request.path))
    { }

    QString checkSettings() const;
    AnimationEncoder *encoder();
    QSize encodedSize() const
    {
        const QSize frame(request.width, request.height);
        return format ? format->encodedSize(frame) : frame;
    }

    const AnimationRequest request;
    const AnimationFormat *format;
    std::unique_ptr<AnimationEncoder> encoderHere;
    // Set when the settings are refused or the module cannot be loaded; every later
    // call fails with it.
    QString refusal;
};

QString AnimationWriter::Private::checkSettings() const
{
    const AnimationRequest &r = request;
    if (!format) {
        return QStringLiteral("%1: not an animation file name (use .%2)")
                .arg(r.path, AnimationWriter::suffixes().join(QStringLiteral(", .")));
    }
    if (r.width < 1 || r.height < 1 || r.width > kMaxSide || r.height > kMaxSide)
        return QStringLiteral("%1 x %2 frames: each side must be 1 to %3 pixels")
                .arg(r.width)
                .arg(r.height)
                .arg(kMaxSide);
    if (r.fps < kMinFps || r.fps > kMaxFps)
        return QStringLiteral("%1 frames per second: must be %2 to %3").arg(r.fps).arg(kMinFps).arg(kMaxFps);
    if (r.frameCount < kMinFrames || r.frameCount > kMaxFrames)
        return QStringLiteral("%1 frames: a loop has %2 to %3").arg(r.frameCount).arg(kMinFrames).arg(kMaxFrames);
    return {};
}

AnimationEncoder *AnimationWriter::Private::encoder()
{
    if (encoderHere || !refusal.isEmpty())
        return encoderHere.get();
    refusal = checkSettings();
    if (refusal.isEmpty()) {
        encoderHere = createEncoder(request, &refusal);
    }
    return encoderHere.get();
}

AnimationWriter::AnimationWriter(const QString &path, int width, int height, int fps, int frameCount)
    : d(std::make_unique<Private>(AnimationRequest {path, width, height, fps, frameCount}))
{ }

AnimationWriter::~AnimationWriter() = default;

bool AnimationWriter::isAnimationFile(const QString &path)
{
    return AnimationFormat::forPath(path) != nullptr;
}

QStringList AnimationWriter::suffixes()
{
    QStringList result;
    for (const AnimationFormat &format : AnimationFormat::all())
        result.append(format.suffix);
    return result;
}

bool AnimationWriter::open()
{
    AnimationEncoder *encoder = d->encoder();
    return encoder && encoder->open();
}

bool AnimationWriter::needsPalettePass() const
{
    return d->format && d->format->palette;
}

bool AnimationWriter::addPaletteFrame(const QImage &frame)
{
    AnimationEncoder *encoder = d->encoder();
    return encoder && encoder->addPaletteFrame(frame);
}

bool AnimationWriter::writeFrame(const QImage &frame)
{
    AnimationEncoder *encoder = d->encoder();
    return encoder && encoder->writeFrame(frame);
}

bool AnimationWriter::finish()
{
    AnimationEncoder *encoder = d->encoder();
    return encoder && encoder->finish();
}

void AnimationWriter::cancel()
{
    if (d->encoderHere)
        d->encoderHere->cancel();
}

QString AnimationWriter::error() const
{
    return d->encoderHere ? d->encoderHere->error() : d->refusal;
}

int AnimationWriter::encodedWidth() const
{
    return d->encodedSize().width();
}

int AnimationWriter::encodedHeight() const
{
    return d->encodedSize().height();
}
