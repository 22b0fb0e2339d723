#include "support/MessageBoxAnswerer.h"
// Implemented with the message boxes.
