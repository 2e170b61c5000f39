// moves.cpp: the slide rule, the parking move and the completion check.
#include "platform/text.h"
#include "puzzle/vorek.h"

namespace puzzle {

using platform::PictureBox;

// Sums are taken to single precision before the exact comparison, as the boxes hold them; every
// value is read afresh from the boxes, and each write steps the property it writes.
void Vorek::slide(const PictureBox& P) const {
  const PictureBox& H = p0;
  if (Twips(P.Left() + kStep) == H.Left() && H.Top() == P.Top()) {
    H.setLeft(H.Left() - kStep);
    P.setLeft(P.Left() + kStep);
  } else if (Twips(P.Left() - kStep) == H.Left() && H.Top() == P.Top()) {
    H.setLeft(H.Left() + kStep);
    P.setLeft(P.Left() - kStep);
  } else if (Twips(P.Top() + kStep) == H.Top() && H.Left() == P.Left()) {
    H.setTop(H.Top() - kStep);
    P.setTop(P.Top() + kStep);
  } else if (Twips(P.Top() - kStep) == H.Top() && H.Left() == P.Left()) {
    H.setTop(H.Top() + kStep);
    P.setTop(P.Top() - kStep);
  }
}

// p20 only ever moves between its home cell and the parking cell, to fixed positions.
void Vorek::park() const {
  const PictureBox& H = p0;
  if (Twips(H.Left() - kStep) == p20.Left() && H.Top() == p20.Top()) {
    p20.setLeft(kParkingCell.left);
    H.setLeft(kLastCell.left);
  } else if (Twips(H.Left() + kStep) == p20.Left() && H.Top() == p20.Top()) {
    p20.setLeft(kLastCell.left);
    H.setLeft(kParkingCell.left);
  }
}

void Vorek::checkCompletion() const {
  const PictureBox* const pieces[] = {&p1,  &p2,  &p3,  &p4,  &p5,  &p6,  &p7,  &p8,  &p9,  &p10,
                                      &p11, &p12, &p13, &p14, &p15, &p16, &p17, &p18, &p19, &p20};
  // All forty coordinates are read, in order, whatever the first mismatch: hence & and not &&.
  bool home = true;
  int k = 1;
  for (const PictureBox* piece : pieces) {
    const Cell expected = homeCell(k++);
    home &= piece->Left() == expected.left;
    home &= piece->Top() == expected.top;
  }
  if (home & playing()) {
    runtime().MsgBox("Bravo !", platform::vbOKOnly, "Vorek");
    Quitter.setCaption(kIdle);
  }
}

void Vorek::p1_Click() const { slide(p1); }
void Vorek::p2_Click() const { slide(p2); }
void Vorek::p3_Click() const { slide(p3); }
void Vorek::p4_Click() const { slide(p4); }
void Vorek::p5_Click() const { slide(p5); }
void Vorek::p6_Click() const { slide(p6); }
void Vorek::p7_Click() const { slide(p7); }
void Vorek::p8_Click() const { slide(p8); }
void Vorek::p9_Click() const { slide(p9); }
void Vorek::p10_Click() const { slide(p10); }
void Vorek::p11_Click() const { slide(p11); }
void Vorek::p12_Click() const { slide(p12); }
void Vorek::p13_Click() const { slide(p13); }
void Vorek::p14_Click() const { slide(p14); }
void Vorek::p15_Click() const { slide(p15); }
void Vorek::p16_Click() const { slide(p16); }
void Vorek::p17_Click() const { slide(p17); }
void Vorek::p18_Click() const { slide(p18); }
void Vorek::p19_Click() const { slide(p19); }

void Vorek::p20_Click() const {
  park();
  checkCompletion();
}

}  // namespace puzzle
