#include "tests/providers/mysql/LoopbackPeers.h"
