// Generator settings read from the parameter map.
#pragma once

#include "chipspec.h"

#include <QString>
#include <vector>

// One entry of "modificators". dx, dy, L and c are formed at read time.
struct Modificator {
    int32_t type = 0; // only type 0 affects generation
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    float dx = 0, dy = 0; // x2 - x1, y2 - y1
    float L = 0; // dy * dy + dx * dx
    float c = 0; // y1 * x2 - y2 * x1
    float intensity = 0;
    float spread = 0;
    int32_t direction = 0; // value slot that receives the weight
};

// One entry of "adjustments".
struct Adjustment {
    float x = 0, y = 0; // normalized centre
    float radius = 0;
    float hardness = 0;
    float masking = 0;
    float density = 0;
    float signalAmount = 0;
};

// A colour list of three ints, as read (not clamped).
struct RgbColor {
    int32_t r = 0, g = 0, b = 0;
};

// Every setting. The initial values (valid until the first read) come from the parameter
// table, as does everything the map fills; see parametertable.h.
struct GeneratorSettings {
    GeneratorSettings();

    int32_t seed;
    int32_t width;
    int32_t height;
    float masking;
    float maskingScaleX;
    float maskingScaleY;
    float scale;
    float wireLength;
    float wireThickPercent;
    float cutoffLength;
    float cutoffPercentage;
    float wireThickness;
    float dotSize;
    float holeSize;
    float insideHoleSize;
    float maxWireThickness;
    float wireRoundness;
    float tendencyStraight;
    float tendencyHomogenity;
    float denseAmount;
    float tendencyHv;
    float tendencyRandom;
    float tendencyPower;
    int32_t loops;
    RgbColor bgColor;
    RgbColor wireColor;
    RgbColor insideHoleColor;
    RgbColor signalColor;
    float signalAmount;
    float signalSize;
    float signalSizeVariance;
    float signalGlowing;
    float glowingDotsAmount;
    float wireShadow;
    float vignetting;
    QString maskType; // as read
    bool maskTypeText = false; // maskType == "text" (case-sensitive)
    QString maskText;
    QString maskFont;
    int32_t maskLetterSpacing;
    int32_t maskFontWeight;
    bool maskItalic;
    bool invertMask;
    QString maskFilePath;
    std::vector<Modificator> modificators;
    std::vector<Adjustment> adjustments;
    std::vector<ChipSpec> chips;
};
