#pragma once
// #include "root.h" is prose here, not an include
