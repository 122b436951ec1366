#include "averror.h"

extern "C" {
#include <libavutil/error.h>
}

#include <cerrno>

bool isDiskFull(int code)
{
    return code == AVERROR(ENOSPC) || code == AVERROR(EDQUOT);
}

QString avErrorText(int code)
{
    if (isDiskFull(code))
        return QStringLiteral("the disk is full");
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}
