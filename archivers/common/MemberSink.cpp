// MemberSink, the reader's handle on one file member; the work is in MemberSinkImpl.
#include "archivers/common/MemberSinkImpl.h"

namespace rkarc {

MemberSink::MemberSink(std::unique_ptr<MemberSinkImpl> impl) : m_impl(std::move(impl)) {}

MemberSink::~MemberSink() = default;

bool MemberSink::write(const void* data, size_t size) { return m_impl->write(data, size); }

bool MemberSink::hole(uint64_t size) { return m_impl->hole(size); }

bool MemberSink::commit() { return m_impl->commit(); }

void MemberSink::abort(int32_t code, std::string_view reason) { m_impl->abort(code, reason); }

}  // namespace rkarc
