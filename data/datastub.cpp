// Placeholder until the data classes land.
