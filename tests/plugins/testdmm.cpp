#include "tests/plugins/testdmm.h"
