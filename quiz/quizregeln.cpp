#include "quiz/quizregeln.h"
