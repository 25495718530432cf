// Start-up registration of the trainer program: the published properties of the models, which
// know nothing of the windowing layer, and the program's own classes.
#pragma once

// Registers every class library of the program (windowing layer, models, panel pictures and
// elements) and the models' properties. Safe to call more than once.
void RegisterTrainerClasses();
