#include "relay/login/vss_info.h"

std::list<Vemo2Node> g_lstVssInfo;
CRITICAL_SECTION g_csVssInfo;
