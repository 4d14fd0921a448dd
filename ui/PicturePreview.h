#pragma once

class QFileDialog;

namespace velkaro {

// Puts a preview of the selected picture beside the dialog's file list.
void AddPicturePreview(QFileDialog* dialog);

} // namespace velkaro
