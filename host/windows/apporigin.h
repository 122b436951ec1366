#pragma once

#include <QUrl>

class QWebFrame;

/// Tells the application's own documents from any other: only pages that the host's private
/// schemes ("app", "xrc", "ejp") or its resource bundle actually serve, and the resource
/// skeleton, get the native objects. Anything else (http, https, file, data, the "drc" store
/// of handed-over bytes, a missing page under an own scheme) runs as an ordinary web page.
class AppOrigin
{
public:
    /// Whether a URL is under one of the application's own schemes.
    static bool isOwn(const QUrl &documentUrl);
    /// Whether the frame currently holds one of the application's own documents.
    static bool holdsOwnDocument(const QWebFrame *frame);
};
