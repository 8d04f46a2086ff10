#include "gallery/vorschaucache.h"
