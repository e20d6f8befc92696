#pragma once
#include "document/cdocument.h"
