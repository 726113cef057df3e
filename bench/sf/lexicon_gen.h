// A deterministic synthetic lexicon for benchmarks: N records with the markers lx, hm,
// ps, sn, ge, xv, xe and dt, some fields of several lines, CR LF line ends.
#pragma once

#include <cstdint>
#include <string>

namespace crv::bench {

// The whole database text (header line included) for records records; the same count
// and seed always give the same bytes.
std::string GenerateLexicon(std::uint32_t records, std::uint32_t seed = 1);

} // namespace crv::bench
