package Tolvane::Files;
# Plain-file helpers shared by the bot: whole-file reads that accept every
# line-end form the panel has written, whole-file writes that replace a file
# in one step (the panel polls the status files twice a second and must
# never see half a file), and the check that keeps a buddy name from turning
# into a dangerous file name.
use strict;
use warnings;
use Exporter 'import';
use Errno ();

our @EXPORT_OK = qw(read_file split_lines message_text write_file_whole
  append_file unsafe_name_reason parse_bar_list);

# Line end of every file the bot writes: the panel reads them in text mode.
our $EOL = "\r\n";

# Reads a whole file as bytes. Returns (content) on success, or
# (undef, reason, missing) where missing is true when the file is not there.
sub read_file {
    my ($path) = @_;
    my $fh;
    unless (open($fh, '<:raw', $path)) {
        my $missing = $!{ENOENT} ? 1 : 0;
        return (undef, "$!", $missing);
    }
    if (-d $fh) {
        close $fh;
        return (undef, 'it is a folder, not a file', 0);
    }
    local $/;
    my $data = <$fh>;
    close $fh;
    $data = '' unless defined $data;
    return ($data);
}

# Splits file content into lines. A line ends at LF; any CRs before the LF
# belong to the line end, so CR LF (text mode) and CR CR LF (what older
# message editors stored for a typed line break) both read as one break.
# A final line end does not start another line.
sub split_lines {
    my ($data) = @_;
    return () if !defined $data || $data eq '';
    my @lines = split /\r*\n/, $data, -1;
    pop @lines if @lines && $lines[-1] eq '';
    $lines[-1] =~ s/\r+\z// if @lines;
    return @lines;
}

# The text of a message file: its lines joined with "\n", without the blank
# lines at its end. A file holding only blanks and line ends is no message.
sub message_text {
    my ($data) = @_;
    my $text = join "\n", split_lines($data);
    $text =~ s/\s+\z//;
    return $text;
}

# The entries of a bar list's line: each "|" ends one entry. Returns the
# entries and the text after the last "|", which readers ignore.
sub parse_bar_list {
    my ($line) = @_;
    my @entries;
    my $start = 0;
    while ((my $bar = index($line, '|', $start)) >= 0) {
        push @entries, substr($line, $start, $bar - $start);
        $start = $bar + 1;
    }
    return (\@entries, substr($line, $start));
}

sub _pause { select(undef, undef, undef, $_[0]) }

# Writes a file whole: first into a file beside it, then renamed over it, so
# a reader sees the old content or the new, never a part. While another
# process holds the file open the rename can fail for a moment; it is tried
# again briefly and, as a last resort, the file is rewritten in place.
# Returns undef on success, else the reason.
sub write_file_whole {
    my ($path, $data) = @_;
    my $temp = "$path.new";
    my $fh;
    open($fh, '>:raw', $temp) or return "cannot write $temp: $!";
    my $printed = print {$fh} $data;
    my $closed = close $fh;
    unless ($printed && $closed) {
        my $why = "$!";
        unlink $temp;
        return "cannot write $temp: $why";
    }
    for my $try (1 .. 20) {
        return undef if rename $temp, $path;
        _pause(0.025);
    }
    my $why = "$!";
    if (open(my $out, '>:raw', $path)) {
        my $ok = print {$out} $data;
        $ok = close($out) && $ok;
        unlink $temp;
        return undef if $ok;
        return "cannot write $path: $!";
    }
    unlink $temp;
    return "cannot replace $path: $why";
}

# Adds bytes at the end of a file. Returns undef on success, else the reason.
sub append_file {
    my ($path, $data) = @_;
    open(my $fh, '>>:raw', $path) or return "cannot write $path: $!";
    my $ok = print {$fh} $data;
    $ok = close($fh) && $ok;
    return $ok ? undef : "cannot write $path: $!";
}

# The data folder's own files: a buddy's message file must never be one.
my %OWN_FILES = map { $_ => 1 } qw(
  settings.txt contact.txt trustedlist.txt buddya.txt buddym.txt
  schedule.txt results.txt control.txt mrecived.txt);

my $DEVICE = qr/\A(?:CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])\z/i;

# Why a buddy name read from a list must not become part of a file name, or
# undef when it is safe. suffix is what the list appends to make the
# message file: "a.txt", ".txt" or "s.txt". Empty names and names with
# blanks are allowed.
sub unsafe_name_reason {
    my ($name, $suffix) = @_;
    return 'it holds a character that a file name cannot hold'
      if $name =~ m{[\\/:*?"<>|\x00-\x1f]};
    # Only the message file's name matters: the suffix always follows the
    # name, so "con" is safe as "cona.txt" but a device as "con.txt".
    my $file = $name . $suffix;
    (my $stem = $file) =~ s/\..*\z//s;
    return "its message file would be $file, which Windows takes for a device"
      if $stem =~ $DEVICE;
    return "its message file would be $file, a file of Tolvane's own"
      if $OWN_FILES{lc $file};
    return undef;
}

1;
