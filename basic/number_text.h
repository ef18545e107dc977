// Numbers to and from text, as the interpreter uses them.
#pragma once

#include "basic/number_format.h"
#include "basic/number_parse.h"
