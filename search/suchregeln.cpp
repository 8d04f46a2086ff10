#include "search/suchregeln.h"
