// The batch case of the core benchmark: many routes on one model, searched
// on one thread and on several at once.
#pragma once

class HeightMap;

// Builds the model of `map` at `patch` and `threshold`, picks `pairs` random
// point pairs (a fixed sequence) and routes them all with 1 and with `jobs`
// threads, alternating, `reps` times each; prints the median wall times,
// the throughputs, whether the results agree and the memory of a workspace.
void runBatchCase(const HeightMap& map, int patch, int threshold, int pairs, int jobs, int reps);
