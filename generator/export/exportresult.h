#pragma once

#include <QString>

// The outcome of one export: success, or the reason it stopped and the file
// concerned.
struct ExportResult {
    enum Failure {
        None,
        // The canvas rounds to no pixels or exceeds the render limits.
        CanvasNotDrawable,
        // A file could not be opened for writing.
        CannotOpenFile,
        // The generator refused the settings (CircuitGenerator::lastError); nothing is written.
        GenerationRefused
    };

    Failure failure = None;
    QString file;

    bool ok() const { return failure == None; }

    static ExportResult success() { return {}; }
    static ExportResult canvasNotDrawable(const QString &file) { return {CanvasNotDrawable, file}; }
    static ExportResult cannotOpen(const QString &file) { return {CannotOpenFile, file}; }
    static ExportResult generationRefused(const QString &file) { return {GenerationRefused, file}; }
};
