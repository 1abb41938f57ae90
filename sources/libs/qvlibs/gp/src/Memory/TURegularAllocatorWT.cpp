#include "GP/TURegularAllocatorWT.h"

namespace QV::GP::DETAIL {

void* TURegularAllocatorWT::allocatePacket(size_t bytes) { return new char[bytes]; }

void TURegularAllocatorWT::deallocatePacket(void* packet) { delete[] static_cast<char*>(packet); }

TURegularAllocatorWT::~TURegularAllocatorWT() = default;

}  // namespace QV::GP::DETAIL
