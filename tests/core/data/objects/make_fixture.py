#!/usr/bin/python3
"""Writes objects.zd3: a report template with one of every shape kind, lines
with arrows, pictures of every format and way of drawing, check boxes and
gradients, on a band of a report page. Run it again after changing it:
    /usr/bin/python3 make_fixture.py
The pictures are made here (PIL) or taken from the drawing tests' data."""

import io
import os
import struct

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
GFX_DATA = os.path.join(HERE, "..", "..", "..", "gfx", "data")


def image_bytes(img, fmt, **kw):
    out = io.BytesIO()
    img.save(out, fmt, **kw)
    return out.getvalue()


def picture_propdata(class_name, data):
    """Picture.PropData: a binary property record "Data" holding the
    graphic's class name and its bytes (length first for bitmaps and JPEGs)."""
    body = bytes([len(class_name)]) + class_name.encode("ascii")
    if class_name in ("TBitmap", "TJPEGImage"):
        body += struct.pack("<I", len(data))
    body += data
    record = bytes([4]) + b"Data" + bytes([0x0A]) + struct.pack("<I", len(body)) + body
    return record.hex().upper()


def halves_png():
    img = Image.new("RGB", (20, 10), (255, 0, 0))
    img.paste((0, 0, 255), (10, 0, 20, 10))
    return image_bytes(img, "PNG")


def green_jpeg():
    return image_bytes(Image.new("RGB", (16, 16), (0, 160, 0)), "JPEG", quality=100)


def framed_bmp():
    img = Image.new("RGB", (8, 8), (255, 255, 255))
    img.paste((0, 0, 255), (2, 2, 6, 6))
    return image_bytes(img, "BMP")


def read(name):
    with open(os.path.join(GFX_DATA, name), "rb") as f:
        return f.read()


def obj(cls, name, **attrs):
    text = " ".join(f'{k.replace("__", ".")}="{v}"' for k, v in attrs.items())
    return f'      <{cls} Name="{name}" {text}/>'


OBJECTS = [
    obj("TzdShapeView", "Rect1", Left=10, Top=10, Width=60, Height=40, Fill__BackColor=65535,
        Frame__Color=255, Frame__Width=2),
    obj("TzdShapeView", "Round1", Left=80, Top=10, Width=60, Height=40, Shape="skRoundRectangle", Curve=2,
        FillType="ftGradient", Fill__StartColor=0, Fill__EndColor=16777215, Fill__GradientStyle="gsHorizontal"),
    obj("TzdShapeView", "Ellipse1", Left=150, Top=10, Width=60, Height=40, Shape="skEllipse",
        Fill__BackColor=16711680),
    obj("TzdShapeView", "Triangle1", Left=220, Top=10, Width=60, Height=40, Shape="skTriangle",
        Fill__BackColor=32768),
    obj("TzdShapeView", "Diamond1", Left=290, Top=10, Width=60, Height=40, Shape="skDiamond",
        Fill__BackColor=16711935, Frame__Style="fsDouble"),
    obj("TzdShapeView", "Diag1", Left=360, Top=10, Width=40, Height=40, Shape="skDiagonal1", Frame__Width=3),
    obj("TzdShapeView", "Diag2", Left=410, Top=10, Width=40, Height=40, Shape="skDiagonal2",
        Frame__Style="fsDash"),
    obj("TzdLineView", "Arrows1", Left=10, Top=70, Width=150, Height=0, ArrowStart="True", ArrowEnd="True",
        ArrowSolid="True", Frame__Color=16711680, Frame__Typ=4),
    obj("TzdLineView", "Vertical1", Left=180, Top=60, Width=0, Height=80, Frame__Width=2, Frame__Typ=1),
    obj("TzdLineView", "Slant1", Left=200, Top=60, Width=100, Height=60, Diagonal="True", ArrowEnd="True",
        Frame__Color=255),
    obj("TzdPictureView", "Png1", Left=10, Top=150, Width=100, Height=50, KeepAspectRatio="False",
        Picture__PropData=picture_propdata("TPngImage", halves_png())),
    obj("TzdPictureView", "Jpeg1", Left=120, Top=150, Width=100, Height=50, Center="True",
        Picture__PropData=picture_propdata("TJPEGImage", green_jpeg())),
    obj("TzdPictureView", "Bmp1", Left=230, Top=150, Width=80, Height=80, Transparent="True",
        Fill__BackColor=65535, KeepAspectRatio="False", Picture__PropData=picture_propdata("TBitmap", framed_bmp())),
    obj("TzdPictureView", "Wmf1", Left=10, Top=240, Width=186, Height=136,
        Picture__PropData=picture_propdata("TMetafile", read("drawing.wmf"))),
    obj("TzdPictureView", "Emf1", Left=210, Top=240, Width=186, Height=136,
        Picture__PropData=picture_propdata("TMetafile", read("drawing.emf"))),
    obj("TzdPictureView", "Natural1", Left=320, Top=150, Width=60, Height=40, Stretched="False", Center="True",
        Frame__Typ=15, Picture__PropData=picture_propdata("TPngImage", halves_png())),
    obj("TzdCheckBoxView", "Check1", Left=410, Top=150, Width=30, Height=30, CheckColor=255,
        CheckStyle="csCheck", Frame__Typ=15),
    obj("TzdCheckBoxView", "Cross1", Left=450, Top=150, Width=30, Height=30, CheckColor=0, CheckStyle="csCross"),
    obj("TzdCheckBoxView", "Minus1", Left=490, Top=150, Width=30, Height=30, CheckColor=16711680, Checked="False",
        CheckStyle="csCross", UncheckStyle="usMinus", Frame__Typ=15, Fill__BackColor=12632256),
    obj("TzdGradientView", "Gradient1", Left=10, Top=400, Width=256, Height=20, BeginColor=0, EndColor=16777215,
        Style="gsHorizontal"),
    obj("TzdGradientView", "Gradient2", Left=280, Top=400, Width=40, Height=60, BeginColor=255, EndColor=16711680,
        Style="gsVertCenter", Frame__Typ=15, Frame__Color=0),
]

TEMPLATE = """<?xml version="1.0" encoding="utf-8"?>
<TzdReport ScriptLanguage="PascalScript" ReportOptions.Name="Objekty – zkušební šablona" ScriptText.Text="begin&#13;&#10;&#13;&#10;end.">
  <Datasets>
    <item DataSet="zdDBDataset1" DataSetName="zdDBDataset1"/>
  </Datasets>
  <Variables>
    <item Name=" Kategorie" Value=""/>
    <item Name="Cena" Value="12,50"/>
  </Variables>
  <TzdReportPage Name="Page1" PaperWidth="210" PaperHeight="297" PaperSize="9" LeftMargin="10" RightMargin="10" TopMargin="10" BottomMargin="10">
    <TzdMasterData Name="MasterData1" Left="0" Top="20" Width="718.1107" Height="480" DataSetName="zdDBDataset1">
{objects}
    </TzdMasterData>
  </TzdReportPage>
</TzdReport>
"""


def main():
    path = os.path.join(HERE, "objects.zd3")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(TEMPLATE.replace("{objects}", "\n".join(OBJECTS)))
    print(path)


if __name__ == "__main__":
    main()
