#pragma once

#include <QString>

// FFmpeg's text for an AVERROR code, with "the disk is full" for a full disk
// or quota, which is what a user can act on.
QString avErrorText(int code);

// True for the codes of a full disk or user quota.
bool isDiskFull(int code);
