// vardo-burn against many simulated devices at once: the throughput as stations are added,
// the pace each station keeps, the tool's CPU, and the acknowledgement pace against the fixed
// one. The tool and every simulator run in processes of their own.
#pragma once

class TReport;

void StationsSection(TReport& report);
