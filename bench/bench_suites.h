#pragma once
// The workloads of the report; each runs its timing loops and returns its markdown section.
#include <string>

namespace bench {

std::string evaluation_section();
std::string batch_section();
std::string parsing_section();
std::string derivative_section();
std::string scaling_section();
std::string roots_section();
std::string integration_section();
std::string minimisation_section();
std::string plane_zeros_section();
std::string fitting_section();
std::string frames_section();
std::string surfaces_section();

}  // namespace bench
