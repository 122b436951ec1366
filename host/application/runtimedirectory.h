#pragma once

#include <QByteArray>

/// The per-user runtime folder that Qt looks up through XDG_RUNTIME_DIR. Qt warns on
/// every start where the variable is unset (as for root outside a login session) or
/// names a folder it may not use, so the host points it at a usable one first.
class RuntimeDirectory
{
public:
    /// Whether `path` is a usable runtime folder: a directory itself (not a link to one),
    /// owned by the effective user, readable, writable and searchable by that user only.
    static bool isUsable(const QByteArray &path);

    /// Leaves a usable XDG_RUNTIME_DIR alone; otherwise sets it to the private folder
    /// "runtime-UID" in the temporary folder, created with mode 0700 (or a fresh
    /// "runtime-UID-XXXXXX" when another user holds that name). Returns the folder now
    /// named, or an empty array when none could be made (Qt then warns as before).
    static QByteArray ensure();
};
