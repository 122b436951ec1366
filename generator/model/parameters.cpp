// CircuitGenerator: reading the parameter map and building the two mask images.
#include "circuitgenerator.h"

#include "maskfilereader.h"
#include "randomstream.h"
#include "saturatingint.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <cmath>
#include <limits>

namespace {

// "int": the variant's own conversion; a double that is not finite or lies outside
// the 32-bit range (where that conversion is undefined) is clamped, NaN reads as 0.
int32_t readInt(const QVariant &v)
{
    const int t = v.userType();
    if (t == QMetaType::Double || t == QMetaType::Float) {
        const double d = v.toDouble();
        if (!(d > -2147483648.0 && d < 2147483647.0))
            return saturatingTrunc(d);
    }
    return int32_t(v.toInt());
}

float readReal(const QVariant &v)
{
    return v.toFloat();
}

RgbColor readColor(const QVariant &v)
{
    const QVariantList l = v.toList();
    RgbColor c;
    c.r = l.size() > 0 ? readInt(l.at(0)) : 0;
    c.g = l.size() > 1 ? readInt(l.at(1)) : 0;
    c.b = l.size() > 2 ? readInt(l.at(2)) : 0;
    return c;
}

} // namespace

void CircuitGenerator::readParameters(const QVariantMap &p)
{
    GeneratorSettings &s = m_settings;
    s.seed = readInt(p.value(QStringLiteral("seed")));
    reseedRandomStreams(s.seed);
    s.width = readInt(p.value(QStringLiteral("width")));
    s.height = saturatingTrunc(readReal(p.value(QStringLiteral("height"))));
    s.masking = readReal(p.value(QStringLiteral("masking")));
    s.maskingScaleX = readReal(p.value(QStringLiteral("masking_scale_x")));
    s.maskingScaleY = readReal(p.value(QStringLiteral("masking_scale_y")));
    s.scale = readReal(p.value(QStringLiteral("scale")));
    s.wireLength = readReal(p.value(QStringLiteral("wire_length")));
    s.wireThickPercent = readReal(p.value(QStringLiteral("wire_thick_percent")));
    s.cutoffLength = readReal(p.value(QStringLiteral("cutoff_length")));
    s.cutoffPercentage = readReal(p.value(QStringLiteral("cutoff_percentage")));
    s.wireThickness = readReal(p.value(QStringLiteral("wire_thickness")));
    s.dotSize = readReal(p.value(QStringLiteral("dot_size")));
    s.holeSize = readReal(p.value(QStringLiteral("hole_size")));
    s.insideHoleSize = readReal(p.value(QStringLiteral("inside_hole_size")));
    s.maxWireThickness = readReal(p.value(QStringLiteral("max_wire_thickness")));
    s.wireRoundness = readReal(p.value(QStringLiteral("wire_roundness")));
    s.tendencyStraight = readReal(p.value(QStringLiteral("tendency_straight")));
    s.tendencyHomogenity = readReal(p.value(QStringLiteral("tendency_homogenity")));
    s.denseAmount = readReal(p.value(QStringLiteral("dense_amount")));
    s.tendencyHv = readReal(p.value(QStringLiteral("tendency_hv")));
    s.tendencyRandom = readReal(p.value(QStringLiteral("tendency_random")));
    s.tendencyPower = readReal(p.value(QStringLiteral("tendency_power")));
    s.loops = readInt(p.value(QStringLiteral("loops")));
    s.bgColor = readColor(p.value(QStringLiteral("bg_color")));
    s.wireColor = readColor(p.value(QStringLiteral("wire_color")));
    s.insideHoleColor = readColor(p.value(QStringLiteral("inside_hole_color")));
    s.signalColor = readColor(p.value(QStringLiteral("signal_color")));
    s.signalAmount = readReal(p.value(QStringLiteral("signal_amount")));
    s.signalSize = readReal(p.value(QStringLiteral("signal_size")));
    s.signalSizeVariance = readReal(p.value(QStringLiteral("signal_size_variance")));
    s.signalGlowing = readReal(p.value(QStringLiteral("signal_glowing")));
    s.glowingDotsAmount = readReal(p.value(QStringLiteral("glowing_dots_amount")));
    s.wireShadow = readReal(p.value(QStringLiteral("wire_shadow")));
    s.vignetting = readReal(p.value(QStringLiteral("vignetting")));
    s.maskType = p.value(QStringLiteral("mask_type")).toString();
    s.maskTypeText = (s.maskType == QLatin1String("text"));
    s.maskText = p.value(QStringLiteral("mask_text")).toString();
    s.maskFont = p.value(QStringLiteral("mask_font")).toString();
    s.maskLetterSpacing = readInt(p.value(QStringLiteral("mask_letter_spacing")));
    s.maskFontWeight = readInt(p.value(QStringLiteral("mask_font_weight")));
    s.maskItalic = p.value(QStringLiteral("mask_italic")).toBool();
    s.invertMask = p.value(QStringLiteral("invert_mask")).toBool();
    s.maskFilePath = p.value(QStringLiteral("mask_file_path")).toString();

    updateMasks();

    s.modificators.clear();
    s.adjustments.clear();
    s.chips.clear();
    for (const QVariant &entry : p.value(QStringLiteral("modificators")).toList()) {
        const QVariantMap m = entry.toMap();
        Modificator mod;
        mod.type = readInt(m.value(QStringLiteral("type")));
        mod.x1 = readReal(m.value(QStringLiteral("x1")));
        mod.y1 = readReal(m.value(QStringLiteral("y1")));
        mod.x2 = readReal(m.value(QStringLiteral("x2")));
        mod.y2 = readReal(m.value(QStringLiteral("y2")));
        mod.dx = mod.x2 - mod.x1;
        mod.dy = mod.y2 - mod.y1;
        mod.L = mod.dy * mod.dy + mod.dx * mod.dx;
        mod.c = mod.y1 * mod.x2 - mod.y2 * mod.x1;
        mod.intensity = readReal(m.value(QStringLiteral("intensity")));
        mod.spread = readReal(m.value(QStringLiteral("spread")));
        mod.direction = readInt(m.value(QStringLiteral("direction")));
        s.modificators.push_back(mod);
    }
    for (const QVariant &entry : p.value(QStringLiteral("adjustments")).toList()) {
        const QVariantMap m = entry.toMap();
        Adjustment a;
        a.x = readReal(m.value(QStringLiteral("x")));
        a.y = readReal(m.value(QStringLiteral("y")));
        a.radius = readReal(m.value(QStringLiteral("radius")));
        a.hardness = readReal(m.value(QStringLiteral("hardness")));
        a.masking = readReal(m.value(QStringLiteral("masking")));
        a.density = readReal(m.value(QStringLiteral("density")));
        a.signalAmount = readReal(m.value(QStringLiteral("signal_amount")));
        s.adjustments.push_back(a);
    }
    for (const QVariant &entry : p.value(QStringLiteral("chips")).toList()) {
        const QVariantMap m = entry.toMap();
        ChipSpec c;
        c.x = readReal(m.value(QStringLiteral("x")));
        c.y = readReal(m.value(QStringLiteral("y")));
        c.w = readInt(m.value(QStringLiteral("w")));
        c.h = readInt(m.value(QStringLiteral("h")));
        c.connections = readInt(m.value(QStringLiteral("connections")));
        c.render = m.value(QStringLiteral("render")).toBool();
        s.chips.push_back(c);
    }
}

void CircuitGenerator::resetSeed()
{
    reseedRandomStreams(m_settings.seed);
}

void CircuitGenerator::updateMasks()
{
    m_fileMaskChanged = false;
    updateTextMask();
    updateFileMask();
}

// ---------------------------------------------------------------------------
// Text mask

int CircuitGenerator::mapFontWeight(int w)
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

void CircuitGenerator::updateTextMask()
{
    const GeneratorSettings &s = m_settings;
    if (!s.maskTypeText)
        return;
    if (!m_textMask.isNull() && m_textWidth == s.width && m_textHeight == s.height && m_textText == s.maskText
        && m_textFont == s.maskFont && m_textSpacing == s.maskLetterSpacing && m_textWeight == s.maskFontWeight
        && m_textItalic == s.maskItalic)
        return;
    m_textWidth = s.width;
    m_textHeight = s.height;
    m_textText = s.maskText;
    m_textFont = s.maskFont;
    m_textSpacing = s.maskLetterSpacing;
    m_textWeight = s.maskFontWeight;
    m_textItalic = s.maskItalic;
    m_textMask = QImage();
    m_textMask = renderTextMask(s.width, s.height, s.maskText, s.maskFont, s.maskLetterSpacing, s.maskFontWeight,
                                s.maskItalic);
}

QImage CircuitGenerator::renderTextMask(int width, int height, const QString &text, const QString &family,
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

QImage CircuitGenerator::loadFileMask(const QString &path, QString *error)
{
    const QImage loaded = MaskFileReader::read(path, error);
    if (loaded.isNull())
        return QImage();
    return loaded.scaledToWidth(200, Qt::SmoothTransformation).convertToFormat(QImage::Format_Grayscale8);
}

void CircuitGenerator::updateFileMask()
{
    const QString &path = m_settings.maskFilePath;
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

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!m_fileMask.isNull())
        m_fileMask.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    buffer.close();
    m_fileMaskPng = bytes;
    m_fileMaskChanged = true;
}
