// The program's pictures, drawn by the program itself: the 32 x 32 picture of the about box (a
// globe with its meridians and parallels) and the 16 x 16 images of the menu and the actions.
#pragma once

class TBitmap;
class TCustomImageList;

namespace orv {

// The images in the order the menu and the actions refer to them: 0 information, 1 about,
// 2 exit, 3 write to a file, 4 the program (a small globe), 5 copy.
enum TProgramImage { piInformation, piAbout, piExit, piWriteToFile, piProgram, piCopy, piCount };

// The 32 x 32 program picture on a white background.
void DrawProgramPicture(TBitmap* bitmap);
// Adds the 16 x 16 images (TProgramImage order) to an image list of that size.
void AddProgramImages(TCustomImageList* images);

}  // namespace orv
