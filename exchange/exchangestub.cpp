// Placeholder until the exchange classes land.
