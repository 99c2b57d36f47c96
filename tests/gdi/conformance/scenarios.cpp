// The GDI scenarios' own calls: none beyond GDI's; the results of edge-case
// calls are recorded by the table's own scenario (api_objects).
#include "runner.h"

const Verb kExtraVerbs[] = {{"", nullptr}};
const int kExtraVerbCount = 0;
void ResetExtraVerbs() {}
