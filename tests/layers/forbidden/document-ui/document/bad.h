#pragma once
#include "ui/main/frmmain.h"
