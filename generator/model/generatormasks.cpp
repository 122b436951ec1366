#include "generatormasks.h"

#include "generationbudget.h"
#include "maskfilereader.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <cmath>

void GeneratorMasks::update(const GeneratorSettings &settings)
{
    m_fileMaskChanged = false;
    updateTextMask(settings);
    updateFileMask(settings.maskFilePath);
}

float GeneratorMasks::value(const GeneratorSettings &s, float u, float v) const
{
    if (!(s.masking > 0.0f))
        return 1.0f;
    const QImage *image = nullptr;
    if (s.maskTypeText) {
        if (m_textMask.isNull())
            return 1.0f;
        image = &m_textMask;
    } else {
        if (!m_hasFileMask)
            return 1.0f;
        image = &m_fileMask;
    }
    const int W = image->width();
    const int H = image->height();
    const float fx = std::floor(float(W) * u * s.maskingScaleX);
    const float fy = std::floor(float(H) * v * s.maskingScaleY);
    float e = 0.0f;
    // Range test in single precision before any conversion to int.
    if (fx >= 0.0f && fx < float(W) && fy >= 0.0f && fy < float(H)) {
        const int px = int(fx);
        const int py = int(fy);
        if (px < W && py < H)
            e = float(image->constScanLine(py)[px] / 255.0);
    }
    if (s.invertMask)
        e = 1.0f - e;
    return e * e * s.masking + (1.0f - s.masking);
}

// ---------------------------------------------------------------------------
// Text mask

int GeneratorMasks::mapFontWeight(int w)
{
    if (w <= 100)
        return 0;
    if (w <= 200)
        return 12;
    if (w <= 300)
        return 25;
    if (w <= 400)
        return 50;
    if (w <= 500)
        return 57;
    if (w <= 600)
        return 63;
    if (w <= 700)
        return 75;
    if (w <= 800)
        return 81;
    return 87;
}

void GeneratorMasks::updateTextMask(const GeneratorSettings &s)
{
    if (!s.maskTypeText)
        return;
    // Generation refuses such a text; laying it out first would cost seconds.
    if (s.maskText.size() > GenerationBudget::kMaxMaskTextLength) {
        m_textMask = QImage();
        return;
    }
    const TextInputs inputs {s.width,          s.height,    s.maskText, s.maskFont, s.maskLetterSpacing,
                             s.maskFontWeight, s.maskItalic};
    if (!m_textMask.isNull() && inputs == m_textInputs)
        return;
    m_textInputs = inputs;
    m_textMask = QImage();
    m_textMask = renderTextMask(s.width, s.height, s.maskText, s.maskFont, s.maskLetterSpacing, s.maskFontWeight,
                                s.maskItalic);
}

QImage GeneratorMasks::renderTextMask(int width, int height, const QString &text, const QString &family,
                                      int letterSpacing, int weight, bool italic)
{
    if (width <= 0)
        return QImage();
    const double hd = std::trunc(double(height) / double(width) * 200.0);
    if (!(hd >= 1.0 && hd <= 100000.0))
        return QImage();
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QImage();
    const int H = int(hd);
    QImage image(200, H, QImage::Format_Grayscale8);
    if (image.isNull())
        return QImage();
    image.fill(0);

    // Letter spacing in percent, formed in 64 bits so that no int overflows.
    const int64_t spacing = int64_t(letterSpacing) + 100;

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    painter.setRenderHint(QPainter::HighQualityAntialiasing, true);
#pragma GCC diagnostic pop
    QFont font(family, 48, mapFontWeight(weight), italic);
    font.setLetterSpacing(QFont::PercentageSpacing, double(spacing));

    float size = 48.0f;
    for (int i = 0; i < 4; ++i) {
        const QRect r = painter.fontMetrics().tightBoundingRect(text);
        const int64_t tw = int64_t(r.right()) - r.left() + 1;
        const int64_t th = int64_t(r.bottom()) - r.top() + 1;
        const int64_t denom = (spacing * tw) / 100;
        const float a = 180.0f / float(denom);
        const float b = float(H - 20) / float(th);
        const float next = size * std::min(a, b);
        // Empty text or zero extents divide by zero: keep the last valid size.
        if (!(std::isfinite(next) && next > 0.0f))
            break;
        size = next;
        font.setPointSizeF(double(size));
        painter.setFont(font);
    }
    font.setPointSizeF(double(size));
    painter.setFont(font);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::white);

    const QRect r = painter.fontMetrics().tightBoundingRect(text);
    const int64_t l = r.left(), t = r.top(), rr = r.right(), bb = r.bottom();
    const int64_t tx = (200 - ((rr - l + 1) * spacing) / 100) / 2;
    const int64_t k = -(t + bb) - 1;
    const int64_t ty = k + (int64_t(H) - k) / 2;
    if (tx > -1000000 && tx < 1000000 && ty > -1000000 && ty < 1000000)
        painter.drawText(QPoint(int(tx), int(ty)), text);
    painter.end();
    return image;
}

// ---------------------------------------------------------------------------
// File mask

QImage GeneratorMasks::loadFileMask(const QString &path, QString *error)
{
    const QImage loaded = MaskFileReader::read(path, error);
    if (loaded.isNull())
        return QImage();
    return loaded.scaledToWidth(200, Qt::SmoothTransformation).convertToFormat(QImage::Format_Grayscale8);
}

void GeneratorMasks::updateFileMask(const QString &path)
{
    if (path == m_fileMaskPath)
        return;
    m_fileMaskPath = path;
    m_fileMask = QImage();
    m_hasFileMask = false;
    m_fileMaskError.clear();
    if (path.isEmpty())
        return;
    m_fileMask = loadFileMask(path, &m_fileMaskError);
    m_hasFileMask = true;
    m_fileMaskChanged = true;
}
