#pragma once

class QTableView;
class DataModel;

// Puts the readings model on the table view: centred, fixed header, whole
// rows selected, columns as wide as their texts.
void setupReadingsView(QTableView *view, DataModel *model);
