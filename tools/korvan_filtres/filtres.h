#pragma once
// korvan-info --filters: the filters this machine offers and the presence report.

// Prints one line per filter and one per group; returns the exit code.
int afficherFiltres();
