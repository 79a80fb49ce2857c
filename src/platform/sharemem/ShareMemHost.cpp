// Linked into a host program: its C++ heap, and through it that of the Qt libraries, goes to
// the shared memory manager, so that objects the module allocates may be destroyed by Qt or
// the host and the other way round. Exported from the program, so these replace the C++
// runtime's operator new and delete for the whole process (the module keeps its own).

#include "platform/sharemem/OperatorNew.h"
#include "platform/sharemem/ShareMem.h"

namespace {

using SharedHeap = jxmm::Heap<jxmm_get_mem, jxmm_free_mem>;

} // namespace

JXMM_DEFINE_OPERATORS(__attribute__((visibility("default"))), SharedHeap)
