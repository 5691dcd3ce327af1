#pragma once

namespace vantory {

// The two course sites the application reads.
enum class Site { assessment, canvas };

} // namespace vantory
