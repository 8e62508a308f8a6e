#!/usr/bin/perl
# Writes a Windows icon file (.ico) from pixel pictures drawn as text.
#
#   make-ico.pl OUTPUT.ico PICTURE.txt [PICTURE.txt ...]
#
# Each picture becomes one image of the icon, in the order given, with 16
# colours (4 bits per pixel) from the standard 16-colour palette and a
# transparency mask. A picture file holds one text row per pixel row, one
# character per pixel; lines starting with "#" and empty lines are skipped.
# Width and height are taken from the rows; both must be 1 to 256.
#
# Characters and colours (palette index):
#   .  transparent          K  black (0)        r  dark red (1)
#   g  dark green (2)       y  dark yellow (3)  n  dark blue (4)
#   p  dark magenta (5)     t  dark cyan (6)    s  light grey (7)
#   d  dark grey (8)        R  red (9)          G  green (10)
#   Y  yellow (11)          B  blue (12)        M  magenta (13)
#   C  cyan (14)            W  white (15)
#
# The output depends on nothing but the pictures, so every run writes the
# same bytes.
use strict;
use warnings;

my @palette = (
    [0x00, 0x00, 0x00], [0x80, 0x00, 0x00], [0x00, 0x80, 0x00], [0x80, 0x80, 0x00],
    [0x00, 0x00, 0x80], [0x80, 0x00, 0x80], [0x00, 0x80, 0x80], [0xC0, 0xC0, 0xC0],
    [0x80, 0x80, 0x80], [0xFF, 0x00, 0x00], [0x00, 0xFF, 0x00], [0xFF, 0xFF, 0x00],
    [0x00, 0x00, 0xFF], [0xFF, 0x00, 0xFF], [0x00, 0xFF, 0xFF], [0xFF, 0xFF, 0xFF],
);
my %index = (
    K => 0, r => 1, g => 2, y => 3, n => 4, p => 5, t => 6, s => 7,
    d => 8, R => 9, G => 10, Y => 11, B => 12, M => 13, C => 14, W => 15,
);

die "usage: $0 OUTPUT.ico PICTURE.txt...\n" if @ARGV < 2;
my ($output, @pictures) = @ARGV;

my $known = join '', sort keys %index;

sub read_picture {
    my ($file) = @_;
    open(my $in, '<', $file) or die "$file: $!\n";
    my @rows;
    while (my $line = <$in>) {
        $line =~ s/\r?\n\z//;
        next if $line eq '' || $line =~ /^#/;
        push @rows, $line;
    }
    close $in;
    die "$file: no pixel rows\n" unless @rows;
    my $width = length $rows[0];
    for my $n (0 .. $#rows) {
        die "$file: row " . ($n + 1) . " is " . length($rows[$n]) . " pixels wide, not $width\n"
            if length $rows[$n] != $width;
        if ($rows[$n] =~ /([^.$known])/) {
            die "$file: row " . ($n + 1) . " has the unknown colour character '$1'\n";
        }
    }
    die "$file: $width x " . scalar(@rows) . " is not a possible icon size\n"
        if $width > 256 || @rows > 256;
    return { file => $file, width => $width, height => scalar(@rows), rows => \@rows };
}

# One image: BITMAPINFOHEADER, palette, colour bits and mask, rows bottom-up.
sub image_bytes {
    my ($picture) = @_;
    my ($w, $h) = ($picture->{width}, $picture->{height});
    my $colour_stride = int(($w * 4 + 31) / 32) * 4;
    my $mask_stride = int(($w + 31) / 32) * 4;
    my ($colour, $mask) = ('', '');
    for my $row (reverse @{ $picture->{rows} }) {
        my @pixels = split //, $row;
        my $colour_row = '';
        my $mask_row = '';
        for (my $x = 0; $x < $w; $x += 2) {
            my @pair = map { defined $_ && $_ ne '.' ? $index{$_} : 0 } @pixels[$x, $x + 1];
            $colour_row .= chr(($pair[0] << 4) | $pair[1]);
        }
        for (my $x = 0; $x < $w; $x += 8) {
            my $byte = 0;
            for my $bit (0 .. 7) {
                my $p = $pixels[$x + $bit];
                $byte |= 0x80 >> $bit if !defined $p || $p eq '.';
            }
            $mask_row .= chr($byte);
        }
        $colour .= $colour_row . ("\0" x ($colour_stride - length $colour_row));
        $mask .= $mask_row . ("\0" x ($mask_stride - length $mask_row));
    }
    my $header = pack('V l< l< v v V V l< l< V V',
        40, $w, 2 * $h, 1, 4, 0, length($colour) + length($mask), 0, 0, 16, 0);
    my $colours = join '', map { pack('C4', $_->[2], $_->[1], $_->[0], 0) } @palette;
    return $header . $colours . $colour . $mask;
}

my @read = map { read_picture($_) } @pictures;
my @images = map { image_bytes($_) } @read;
my $ico = pack('v3', 0, 1, scalar @images);
my $offset = 6 + 16 * @images;
for my $n (0 .. $#images) {
    my $p = $read[$n];
    $ico .= pack('C4 v2 V2', $p->{width} % 256, $p->{height} % 256, 16, 0, 1, 4,
        length $images[$n], $offset);
    $offset += length $images[$n];
}
$ico .= join '', @images;

my $temporary = "$output.tmp";
open(my $out, '>:raw', $temporary) or die "$temporary: $!\n";
print $out $ico or die "$temporary: $!\n";
close $out or die "$temporary: $!\n";
rename $temporary, $output or die "$output: $!\n";
