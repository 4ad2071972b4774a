#include "platform/version.h"
