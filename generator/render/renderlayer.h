#pragma once

// What one render or SVG document shows: the finished artwork, or one of the
// five single-layer masks (white shapes on black) that exports write beside it.
enum RenderLayer { Composite = 0, Wires = 1, Dots = 2, Components = 3, Signals = 4, DotSignals = 5 };
