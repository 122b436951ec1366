#include "helper.h"

#include "root.h"
