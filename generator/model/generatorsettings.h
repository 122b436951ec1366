// Generator settings read from the parameter map.
#pragma once

#include "circuit.h"

#include <QString>
#include <vector>

// One entry of "modificators" . dx, dy, L and c are formed at read time.
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

// Every setting, with its initial value (valid until the first read).
struct GeneratorSettings {
    int32_t seed = 0;
    int32_t width = 600;
    int32_t height = 600;
    float masking = 0.0f;
    float maskingScaleX = 1.0f;
    float maskingScaleY = 1.0f;
    float scale = 0.6f;
    float wireLength = 0.4f;
    float wireThickPercent = 0.1f;
    float cutoffLength = 0.0f;
    float cutoffPercentage = 1.0f;
    float wireThickness = 1.0f;
    float dotSize = 1.2f;
    float holeSize = 0.5f;
    float insideHoleSize = 0.5f;
    float maxWireThickness = 2.4f;
    float wireRoundness = 0.0f;
    float tendencyStraight = 0.5f;
    float tendencyHomogenity = 0.5f;
    float denseAmount = 0.5f;
    float tendencyHv = 0.0f;
    float tendencyRandom = 0.5f;
    float tendencyPower = 1.0f;
    int32_t loops = 1;
    RgbColor bgColor {0, 50, 100};
    RgbColor wireColor {255, 255, 255};
    RgbColor insideHoleColor {255, 255, 255};
    RgbColor signalColor {255, 255, 255};
    float signalAmount = 0.5f;
    float signalSize = 0.5f;
    float signalSizeVariance = 0.5f;
    float signalGlowing = 0.5f;
    float glowingDotsAmount = 0.0f;
    float wireShadow = 0.0f;
    float vignetting = 0.5f;
    QString maskType; // as read
    bool maskTypeText = false; // maskType == "text" (case-sensitive)
    QString maskText;
    QString maskFont;
    int32_t maskLetterSpacing = 0;
    int32_t maskFontWeight = 400;
    bool maskItalic = false;
    bool invertMask = false;
    QString maskFilePath;
    std::vector<Modificator> modificators;
    std::vector<Adjustment> adjustments;
    std::vector<ChipSpec> chips;
};
