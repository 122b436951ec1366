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
        GenerationRefused,
        // A write, flush, close or rename failed; no file was left under the name.
        CannotWriteFile,
        // The disk filled up while writing; no file was left under the name.
        DiskFull,
        // The folder has less free space than the file needs (bytesNeeded).
        NotEnoughSpace,
        // The caller cancelled; no file was left under the name.
        Cancelled,
        // The grid exceeds the format's limit (ExportLimits); refused before generating,
        // nothing is written. reason says so in one line.
        GridTooLarge,
        // The settings ask for more drawing than the DrawingBudget allows, or for sizes
        // a document cannot hold; refused before writing. reason names the key.
        DrawingRefused,
        // An option of the export is out of range; nothing is written. reason names it.
        OptionRefused,
        // The encoder of an animation failed; no file was left under the name. reason
        // says why.
        EncodingFailed
    };

    Failure failure = None;
    QString file;
    // NotEnoughSpace: the bytes the file needs and the bytes free.
    qint64 bytesNeeded = 0;
    qint64 bytesFree = 0;
    // GridTooLarge, DrawingRefused, OptionRefused, EncodingFailed: what went wrong, one line.
    QString reason {};

    bool ok() const { return failure == None; }

    static ExportResult success() { return {}; }
    static ExportResult canvasNotDrawable(const QString &file) { return {CanvasNotDrawable, file}; }
    static ExportResult cannotOpen(const QString &file) { return {CannotOpenFile, file}; }
    static ExportResult generationRefused(const QString &file) { return {GenerationRefused, file}; }
    static ExportResult failed(Failure failure, const QString &file) { return {failure, file}; }
    static ExportResult gridTooLarge(const QString &file, const QString &reason)
    {
        return {GridTooLarge, file, 0, 0, reason};
    }
    static ExportResult withReason(Failure failure, const QString &file, const QString &reason)
    {
        return {failure, file, 0, 0, reason};
    }
    static ExportResult drawingRefused(const QString &file, const QString &reason)
    {
        return {DrawingRefused, file, 0, 0, reason};
    }
    static ExportResult notEnoughSpace(const QString &file, qint64 needed, qint64 free)
    {
        return {NotEnoughSpace, file, needed, free};
    }
};
