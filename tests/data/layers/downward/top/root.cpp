#include "root.h"
#include "helper.h"
#include "ovexplugin.h"
#include <QString>
