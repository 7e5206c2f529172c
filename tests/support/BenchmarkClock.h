// The clock of the benchmark programs: seconds from the performance counter.
#pragma once

double Seconds();
