// Registers the model component classes by name, so a form definition can create them.
#pragma once

void RegisterModelClasses();
