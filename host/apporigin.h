#pragma once

#include <QUrl>

class QWebFrame;

/// Tells the application's own documents from any other: only pages served by the host's
/// private schemes ("app", "xrc", "ejp", "drc") and the resource skeleton get the native
/// objects. A page reached by a link from anywhere else (http, https, file, data, ...)
/// runs as an ordinary web page.
class AppOrigin
{
public:
    /// Whether a document with this URL is one of the application's own.
    static bool isOwn(const QUrl &documentUrl);
    /// Whether the frame currently holds one of the application's own documents.
    static bool holdsOwnDocument(const QWebFrame *frame);
};
