// GeneratorMasks: the text mask and the file mask, and the mask factor they give a point.
#pragma once

#include "generatorsettings.h"

#include <QImage>
#include <QString>

class GeneratorMasks
{
public:
    // Rebuilds the text mask and reloads the file mask when their inputs changed.
    void update(const GeneratorSettings &settings);

    // Mask factor at a normalized point, single precision.
    float value(const GeneratorSettings &settings, float u, float v) const;

    // Text mask: none until built; 8-bit grey, 200 pixels wide.
    bool hasTextMask() const { return !m_textMask.isNull(); }
    const QImage &textMaskImage() const { return m_textMask; }
    // File mask: none when the path is empty; an empty image when the file could not be
    // read (masks every cell as black).
    bool hasFileMask() const { return m_hasFileMask; }
    const QImage &fileMaskImage() const { return m_fileMask; }
    // True when the last update loaded a file mask anew (the plug-in hands it to the host).
    bool fileMaskChanged() const { return m_fileMaskChanged; }
    // Why the file mask could not be loaded; "" when it was, or when there is none.
    const QString &fileMaskError() const { return m_fileMaskError; }

    // Maps a 100..900 font weight to the font engine's 0..99 weight.
    static int mapFontWeight(int weight);
    // Builds a text mask image (8-bit grey, 200 x trunc(height / width * 200)).
    // Null image when width <= 0, the height is not 1 .. 100000 rows, or no
    // QGuiApplication exists (fonts need one).
    static QImage renderTextMask(int width, int height, const QString &text, const QString &font, int letterSpacing,
                                 int weight, bool italic);
    // Loads a file mask: 200 pixels wide, smooth scaling, 8-bit grey. A file that
    // MaskFileReader refuses gives an empty (null) image and its reason in `error`.
    static QImage loadFileMask(const QString &path, QString *error = nullptr);

private:
    // What the text mask was built from; it is rebuilt only when one of these changes.
    struct TextInputs {
        int32_t width = 600;
        int32_t height = 600;
        QString text;
        QString font;
        int32_t spacing = 0;
        int32_t weight = 400;
        bool italic = false;

        bool operator==(const TextInputs &o) const
        {
            return width == o.width && height == o.height && text == o.text && font == o.font && spacing == o.spacing
                    && weight == o.weight && italic == o.italic;
        }
    };

    void updateTextMask(const GeneratorSettings &settings);
    void updateFileMask(const QString &path);

    QImage m_textMask;
    TextInputs m_textInputs;

    QImage m_fileMask;
    bool m_hasFileMask = false;
    QString m_fileMaskPath;
    bool m_fileMaskChanged = false;
    QString m_fileMaskError;
};
