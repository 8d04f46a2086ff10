#include "gallery/galerieregeln.h"
