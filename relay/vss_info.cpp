#include "relay/vss_info.h"

std::list<Vemo2Node> g_lstVssInfo;
