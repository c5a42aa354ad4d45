// engine_search_bench's cases against the previous implementation.
#include "engine_search_cases.h"
