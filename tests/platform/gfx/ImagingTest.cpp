#include "platform/gfx/Graphics.h"
#include <gtest/gtest.h>
