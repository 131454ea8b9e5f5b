#!/usr/bin/python3
"""Draws the program's icon, also in the larger sizes the desktop's icon theme wants, its mouse
pointer and title artwork, and the small JPEG pictures the decoder tests read. Everything is
drawn from fixed seeds, so running it again gives the same files. Needs Debian's python3-pil:

    /usr/bin/python3 assets/make_assets.py                   # assets/ and tests/data/
    /usr/bin/python3 assets/make_assets.py --large big.jpg   # also a 6666 x 4734 picture
"""

import argparse
import math
import random
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFilter

ROOT = Path(__file__).resolve().parent.parent
ASSETS = ROOT / "assets"
TEST_DATA = ROOT / "tests" / "data"

# Icon sizes installed into the hicolor theme besides the 48 x 48 icon.png; software centres
# want at least 64 x 64.
THEME_ICON_SIZES = (128, 256)

POINTER_HOT_SPOT = (9, 8)


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


# ---------------------------------------------------------------------------------------------
# Icon: a clipboard with a green check mark and a small broom leaning on it, laid out on a
# 48 x 48 grid and drawn at 384 x 384, from which every size is scaled down.


def draw_icon():
    scale = 8  # drawn large and scaled down, so every edge comes out smooth
    size = 48 * scale

    def box(x0, y0, x1, y1):
        return [x0 * scale, y0 * scale, x1 * scale, y1 * scale]

    image = Image.new("RGB", (size, size))
    # A soft sky-blue tile behind everything: the icon has no alpha, so it fills the square.
    top, bottom = (222, 240, 252), (160, 206, 240)
    for y in range(size):
        ImageDraw.Draw(image).line([(0, y), (size, y)], fill=lerp(top, bottom, y / (size - 1)))
    draw = ImageDraw.Draw(image)

    # Board with a darker edge, then the paper sheet on it.
    draw.rounded_rectangle(box(7, 6, 35, 44), radius=3 * scale, fill=(168, 112, 62),
                           outline=(118, 74, 38), width=scale)
    draw.rectangle(box(10, 11, 32, 41), fill=(255, 255, 255), outline=(190, 200, 210),
                   width=scale // 2)
    # Metal clip on the top edge.
    draw.rounded_rectangle(box(15, 3, 27, 10), radius=2 * scale, fill=(150, 160, 172),
                           outline=(96, 104, 116), width=scale)
    draw.ellipse(box(19.5, 4.5, 22.5, 7.5), fill=(96, 104, 116))
    # Checklist lines on the sheet.
    for y in (25, 30, 35):
        draw.rounded_rectangle(box(13, y, 29, y + 1.6), radius=scale, fill=(176, 192, 208))
    # The check mark, large and green over the top of the sheet.
    draw.line([(12.5 * scale, 17 * scale), (17 * scale, 21.5 * scale),
               (27 * scale, 12 * scale)], fill=(34, 160, 72), width=3 * scale, joint="curve")
    for x, y in ((12.5, 17), (27, 12)):
        draw.ellipse(box(x - 1.5, y - 1.5, x + 1.5, y + 1.5), fill=(34, 160, 72))

    # Broom leaning on the right: handle from top right down to the bristles at the bottom.
    handle_top, handle_bottom = (44 * scale, 14 * scale), (34 * scale, 36 * scale)
    draw.line([handle_top, handle_bottom], fill=(120, 70, 30), width=int(2.2 * scale))
    draw.line([handle_top, handle_bottom], fill=(176, 112, 56), width=scale)
    # Bristles: a fan widening downwards, tied with a red band.
    bristles = [(32 * scale, 35 * scale), (37 * scale, 37.5 * scale),
                (37.5 * scale, 46 * scale), (26.5 * scale, 45 * scale)]
    draw.polygon(bristles, fill=(232, 190, 72), outline=(168, 128, 40))
    for i in range(1, 5):
        t = i / 5
        top_point = lerp(bristles[0], bristles[1], t)
        bottom_point = lerp(bristles[3], bristles[2], t)
        draw.line([top_point, bottom_point], fill=(190, 146, 50), width=scale // 2)
    draw.line([(31.5 * scale, 36 * scale), (37.5 * scale, 39 * scale)], fill=(204, 48, 40),
              width=int(1.6 * scale))

    return image


# ---------------------------------------------------------------------------------------------
# Pointer: a cyan arrow with a light-blue glow, its tip on the hot spot.

# The classic arrow outline, its tip at (0, 0).
ARROW = [(0, 0), (0, 17), (4, 13), (7, 20), (10, 19), (7, 12), (12, 12)]


def draw_pointer():
    tip_x, tip_y = POINTER_HOT_SPOT
    outline = [(tip_x + x, tip_y + y) for x, y in ARROW]

    # Drawn pixel for pixel without smoothing, so the tip lands on exactly one pixel.
    arrow = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    ImageDraw.Draw(arrow).polygon(outline, fill=(40, 235, 255, 255), outline=(0, 110, 150, 255))
    shape = arrow.getchannel("A")

    glow = shape.filter(ImageFilter.MaxFilter(3)).filter(ImageFilter.GaussianBlur(2))
    pointer = Image.new("RGBA", (32, 32), (150, 215, 255, 0))
    pointer.putalpha(glow.point(lambda a: min(170, a * 2)))
    pointer.alpha_composite(arrow)

    # The hot spot is the arrow's top-left-most pixel: nothing solid lies above or left of it.
    assert pointer.getpixel(POINTER_HOT_SPOT)[3] == 255
    for y in range(32):
        for x in range(32):
            if shape.getpixel((x, y)):
                assert x >= tip_x and y >= tip_y
    return pointer


# ---------------------------------------------------------------------------------------------
# Title artwork: flames rising behind two dragons playing with a pearl.


def value_noise(rng, size, cells):
    """Smooth noise: random values on a coarse grid of cells, scaled up with bicubic."""
    width, height = size
    cells_x, cells_y = cells
    grid = Image.new("L", (cells_x + 3, cells_y + 3))
    grid.putdata([rng.randrange(256) for _ in range((cells_x + 3) * (cells_y + 3))])
    # Cropping one cell in from the border hides the bicubic edge effects.
    cell_w, cell_h = width / cells_x, height / cells_y
    big = grid.resize((round(cell_w * (cells_x + 3)), round(cell_h * (cells_y + 3))),
                      Image.BICUBIC)
    return big.crop((round(cell_w), round(cell_h), round(cell_w) + width,
                     round(cell_h) + height))


def turbulence(rng, size, octaves):
    """Sum of noise octaves, each (cells_x, cells_y, weight), as a list of 0..1 values."""
    total = [0.0] * (size[0] * size[1])
    weights = sum(w for _, _, w in octaves)
    for cells_x, cells_y, weight in octaves:
        for i, v in enumerate(value_noise(rng, size, (cells_x, cells_y)).getdata()):
            total[i] += v * weight
    return [t / (255 * weights) for t in total]


FIRE_STOPS = [
    (0.00, (14, 2, 2)),
    (0.22, (92, 8, 4)),
    (0.42, (190, 30, 6)),
    (0.60, (240, 96, 12)),
    (0.78, (255, 178, 40)),
    (0.92, (255, 232, 130)),
    (1.00, (255, 252, 226)),
]


def fire_palette():
    palette = []
    for i in range(256):
        t = i / 255
        for (t0, c0), (t1, c1) in zip(FIRE_STOPS, FIRE_STOPS[1:]):
            if t <= t1:
                palette.extend(lerp(c0, c1, (t - t0) / (t1 - t0)))
                break
    return palette


def flames(rng, size):
    """Heat of the flames as an L image: hot along the bottom, tongues licking upwards."""
    width, height = size
    # Wobble that bends the tongues sideways as they rise, and a finer flicker inside them.
    warp = turbulence(rng, size, [(8, 3, 3), (20, 6, 1)])
    flicker = turbulence(rng, size, [(40, 6, 2), (90, 14, 1)])
    # Each tongue reaches its own height, varying smoothly along the picture.
    reach = turbulence(rng, (width, 1), [(9, 1, 3), (31, 1, 1)])
    period = height * 0.32
    heat = []
    for y in range(height):
        rise = 1 - y / (height - 1)  # 0 at the bottom, 1 at the top
        for x in range(width):
            i = y * width + x
            phase = x / period + 1.4 * warp[i] + 0.35 * rise
            tongue = (0.5 + 0.5 * math.cos(2 * math.pi * phase)) ** 1.5
            top = (0.3 + 0.8 * reach[x]) * (0.35 + 0.65 * tongue)
            h = 0.95 - 0.8 * rise / top + 0.55 * (flicker[i] - 0.5)
            heat.append(max(0, min(255, round(255 * h))))
    image = Image.new("L", size)
    image.putdata(heat)
    return image.filter(ImageFilter.GaussianBlur(0.8))


def dragon(draw, scale, facing, base_x):
    """A dragon silhouette: a wavy body of overlapping discs, spines, a wing and a horned head.
    `facing` is 1 for a dragon looking right, -1 for one looking left; sizes are at 1x."""

    def at(x, y):
        return (base_x + facing * x) * scale, y * scale

    # The spine runs from the tail (t = 0) to the neck (t = 1) in two waves.
    spine = []
    steps = 160
    for i in range(steps + 1):
        t = i / steps
        x = -150 + 250 * t
        y = 150 - 58 * t + 26 * math.sin(t * 2 * math.pi * 1.6 + 0.4) * (1 - 0.4 * t)
        spine.append((x, y, 1.5 + 15 * t ** 0.7))

    # Wing: a bat wing swept up and back from the shoulders, scalloped between its fingers.
    sx, sy, _ = spine[int(steps * 0.74)]
    tips = [(sx + 4, sy - 96), (sx - 40, sy - 88), (sx - 78, sy - 60), (sx - 92, sy - 14)]
    wing = [at(sx + 10, sy - 6), at(sx + 12, sy - 52)]
    for start, end in zip(tips, tips[1:]):
        for k in range(9):
            s = k / 8
            mx, my = start[0] + (end[0] - start[0]) * s, start[1] + (end[1] - start[1]) * s
            sag = 18 * math.sin(math.pi * s)
            length = math.hypot(sx - mx, sy - my)
            wing.append(at(mx + (sx - mx) / length * sag, my + (sy - my) / length * sag))
    draw.polygon(wing, fill=255)
    for tip in tips[:-1]:
        draw.line([at(sx, sy - 4), at(*tip)], fill=255, width=round(3 * scale))

    for x, y, r in spine:
        cx, cy = at(x, y)
        draw.ellipse([cx - r * scale, cy - r * scale, cx + r * scale, cy + r * scale], fill=255)

    # Spines along the back, growing toward the head.
    for i in range(12, steps - 10, 11):
        x0, y0, r0 = spine[i]
        x1, y1, _ = spine[i + 4]
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy)
        nx, ny = dy / length, -dx / length  # points away from the belly, upwards
        spike = r0 * 1.1 + 3
        draw.polygon([at(x0 + nx * r0 * 0.8, y0 + ny * r0 * 0.8),
                      at(x1 + nx * r0 * 0.8, y1 + ny * r0 * 0.8),
                      at(x0 + nx * (r0 + spike) + dx, y0 + ny * (r0 + spike) + dy)],
                     fill=255)

    # Neck rising to the head, which looks ahead with its jaws open.
    neck_x, neck_y, neck_r = spine[-1]
    head_x, head_y = neck_x + 22, neck_y - 18
    draw.line([at(neck_x, neck_y), at(head_x - 6, head_y + 2)], fill=255,
              width=int(2 * neck_r * scale * 0.85))
    draw.polygon([at(head_x - 16, head_y - 12), at(head_x + 8, head_y - 11),
                  at(head_x + 34, head_y - 3), at(head_x + 12, head_y + 1),
                  at(head_x + 30, head_y + 12), at(head_x + 4, head_y + 10),
                  at(head_x - 14, head_y + 12)], fill=255)
    # Swept-back horns and a trailing whisker.
    draw.polygon([at(head_x - 4, head_y - 10), at(head_x - 30, head_y - 30),
                  at(head_x - 10, head_y - 6)], fill=255)
    draw.polygon([at(head_x + 6, head_y - 10), at(head_x - 12, head_y - 36),
                  at(head_x + 2, head_y - 6)], fill=255)
    whisker = [at(head_x + 26 - 40 * s, head_y + 8 + 22 * s + 6 * math.sin(s * 7))
               for s in (k / 12 for k in range(13))]
    draw.line(whisker, fill=255, width=round(2 * scale))
    # Forelegs with claws under the chest.
    for offset in (-18, 4):
        leg_x, leg_y, _ = spine[int(steps * 0.8) + offset // 2]
        draw.line([at(leg_x, leg_y), at(leg_x + 12, leg_y + 24), at(leg_x + 22, leg_y + 22)],
                  fill=255, width=round(5 * scale), joint="curve")
    # Eye: a hole that the glow shows through.
    return at(head_x + 6, head_y - 4)


def draw_picture(size):
    rng = random.Random(20240917)
    width, height = size
    art = flames(rng, size)
    art.putpalette(fire_palette())
    art = art.convert("RGB")

    # The pearl between the dragons: a white-hot core in an orange halo.
    pearl = Image.new("L", size, 0)
    cx, cy = width / 2, height * 0.40
    ImageDraw.Draw(pearl).ellipse([cx - height * 0.09, cy - height * 0.09,
                                   cx + height * 0.09, cy + height * 0.09], fill=255)
    halo = pearl.filter(ImageFilter.GaussianBlur(height * 0.10))
    art = Image.composite(Image.new("RGB", size, (255, 170, 40)), art,
                          halo.point(lambda a: min(255, a * 3)))
    art = Image.composite(Image.new("RGB", size, (255, 250, 220)), art,
                          pearl.filter(ImageFilter.GaussianBlur(1.5)))

    # Dragons drawn large on a mask at four times the size, then scaled down for smooth edges.
    scale = 4
    unit = height / 224  # the dragons are laid out for a picture 224 pixels high
    mask = Image.new("L", (width * scale, height * scale), 0)
    draw = ImageDraw.Draw(mask)
    eyes = []
    for facing, base_x in ((1, width / 2 / unit - 190), (-1, width / 2 / unit + 190)):
        eyes.append(dragon(draw, scale * unit, facing, base_x))
    for ex, ey in eyes:
        r = 2.6 * scale * unit
        draw.ellipse([ex - r, ey - r, ex + r, ey + r], fill=0)
    mask = mask.resize(size, Image.LANCZOS)

    # A bright rim around each silhouette, as if lit by the fire behind.
    rim = mask.filter(ImageFilter.MaxFilter(5)).filter(ImageFilter.GaussianBlur(3 * unit))
    art = Image.composite(Image.new("RGB", size, (255, 200, 80)), art,
                          rim.point(lambda a: min(255, a * 1.4)))
    body = Image.new("RGB", size, (46, 6, 4))
    # Scales: a faint darker pattern on the dark red bodies.
    shade = turbulence(rng, size, [(60, 20, 1)])
    shading = Image.new("L", size)
    shading.putdata([round(40 + 60 * s) for s in shade])
    body = ImageChops.multiply(body, Image.merge("RGB", [shading.point(lambda v: 255 - v)] * 3))
    body = ImageChops.add(body, Image.new("RGB", size, (18, 2, 0)))
    art = Image.composite(body, art, mask)

    # Soft dark vignette so the edges sit quietly against the window.
    vignette = Image.new("L", size, 0)
    inset = height * 0.06
    ImageDraw.Draw(vignette).rounded_rectangle([inset, inset, width - inset, height - inset],
                                               radius=height * 0.2, fill=255)
    vignette = vignette.filter(ImageFilter.GaussianBlur(height * 0.06))
    return Image.composite(art, Image.new("RGB", size, (20, 3, 2)), vignette)


def draw_large_picture(path):
    """A 6666 x 4734 fire picture of about 2.6 MB for decoder benchmarks: the artwork scaled
    up, with fine grain so that it compresses like a photograph rather than a drawing."""
    size = (6666, 4734)
    picture = draw_picture((1110, 789)).resize(size, Image.BICUBIC)
    rng = random.Random(7)
    tile = Image.frombytes("L", (509, 509), rng.randbytes(509 * 509))
    grain = Image.new("L", size)
    for y in range(0, size[1], 509):
        for x in range(0, size[0], 509):
            grain.paste(tile, (x, y))
    grain = Image.merge("RGB", [grain] * 3)
    picture = Image.blend(picture, grain, 0.035)
    picture.save(path, quality=85, optimize=True)


# ---------------------------------------------------------------------------------------------
# Test pictures: 96 x 64, four flat quadrants of 48 x 32 pixels, which line up with the 16 x 16
# blocks of the JPEG so that each quadrant centre comes out close to its own colour.

QUADRANTS_RGB = [(220, 30, 30), (30, 180, 60), (30, 60, 200), (240, 220, 40)]
QUADRANTS_GREY = [30, 90, 160, 230]


def quadrants(mode, colours):
    image = Image.new(mode, (96, 64))
    draw = ImageDraw.Draw(image)
    for i, colour in enumerate(colours):
        x, y = (i % 2) * 48, (i // 2) * 32
        draw.rectangle([x, y, x + 47, y + 31], fill=colour)
    return image


def write_test_pictures():
    TEST_DATA.mkdir(parents=True, exist_ok=True)
    colour = quadrants("RGB", QUADRANTS_RGB)
    colour.save(TEST_DATA / "colour.jpg", quality=90)
    colour.save(TEST_DATA / "progressive.jpg", quality=90, progressive=True)
    quadrants("L", QUADRANTS_GREY).save(TEST_DATA / "grey.jpg", quality=90)
    # Pillow writes CMYK with an Adobe marker, as Photoshop does.
    colour.convert("CMYK").save(TEST_DATA / "cmyk.jpg", quality=90)
    assert b"\xff\xc2" in (TEST_DATA / "progressive.jpg").read_bytes()
    assert b"\xff\xc2" not in (TEST_DATA / "colour.jpg").read_bytes()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--large", metavar="PATH", type=Path,
                        help="also write a 6666 x 4734 JPEG for benchmarks to PATH")
    args = parser.parse_args()

    icon = draw_icon()
    icon.resize((48, 48), Image.LANCZOS).save(ASSETS / "icon.png", optimize=True)
    (ASSETS / "icons").mkdir(exist_ok=True)
    for size in THEME_ICON_SIZES:
        icon.resize((size, size), Image.LANCZOS).save(ASSETS / "icons" / f"hicolor-{size}.png",
                                                      optimize=True)
    draw_pointer().save(ASSETS / "pointer.png", optimize=True)
    # Twice the 352 x 112 box it is shown in, for 2x screens.
    draw_picture((704, 224)).save(ASSETS / "picture.jpg", quality=85, optimize=True)
    write_test_pictures()
    if args.large:
        draw_large_picture(args.large)


if __name__ == "__main__":
    main()
