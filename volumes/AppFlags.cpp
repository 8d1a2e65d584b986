#include "AppFlags.h"

uint8_t AppFlags = 0;
