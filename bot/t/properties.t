# The bot's readers against arbitrary bytes: random files of every kind in a
# data folder never make the bot die, and the line and list readers keep
# their promises. The generator is seeded, so a failure can be repeated:
# KAVRI_PROPERTY_SEED=N and KAVRI_PROPERTY_RUNS=N change seed and count.
use strict;
use warnings;
use Test::More;
use FindBin ();
use lib "$FindBin::Bin/lib", "$FindBin::Bin/../lib";
use TestFolder;
use Tolvane::Config;
use Tolvane::Files qw(split_lines message_text parse_bar_list unsafe_name_reason);

my $seed = $ENV{KAVRI_PROPERTY_SEED} // 20261207;
my $runs = $ENV{KAVRI_PROPERTY_RUNS} // 300;
srand $seed;
note "seed $seed, $runs runs";

# Bytes that the readers treat specially, mixed with any byte at all.
my @special = ("\r", "\n", "\r\n", "\r\r\n", "|", ":", " ", "\0", "\x1A", "\xFF", "0", "1",
    "9:05", "24:60", "CON", "settings", ".", "..\\", "/");

sub random_bytes {
    my ($max) = @_;
    my $out = '';
    my $parts = int(rand($max));
    for (1 .. $parts) {
        $out .= rand() < 0.6 ? $special[ int(rand(@special)) ] : chr(int(rand(256)));
    }
    return $out;
}

subtest 'lines: what is written with CR LF reads back line for line' => sub {
    for (1 .. $runs) {
        my @lines = map { my $l = random_bytes(8); $l =~ s/[\r\n]//g; $l } 1 .. int(rand(6));
        my $file = join '', map { "$_\r\n" } @lines;
        is_deeply [split_lines($file)], \@lines or last;
        # The older form (a typed line break as CR CR LF) reads the same.
        (my $older = $file) =~ s/\r\n/\r\r\n/g;
        is_deeply [split_lines($older)], \@lines or last;
    }
};

subtest 'lines and messages: any bytes are read without a line end left inside' => sub {
    for (1 .. $runs) {
        my $data = random_bytes(30);
        my @lines = split_lines($data);
        ok !(grep { /\n/ } @lines), 'no LF inside a line' or last;
        my $text = message_text($data);
        unlike $text, qr/\s\z/, 'no blank at the end of a message' or last;
    }
};

subtest 'bar lists: entries hold no bar and rebuild the line' => sub {
    for (1 .. $runs) {
        my $line = random_bytes(20);
        my ($entries, $rest) = parse_bar_list($line);
        ok !(grep { /\|/ } @$entries), 'no bar inside an entry' or last;
        unlike $rest, qr/\|/, 'no bar after the last one';
        is join('', map { "$_|" } @$entries) . $rest, $line, 'nothing dropped' or last;
    }
};

subtest 'names: the check always answers, and a refused name never becomes a safe file' => sub {
    for (1 .. $runs) {
        my $name = random_bytes(6);
        my $reason = eval { unsafe_name_reason($name, 'a.txt') };
        is $@, '', 'no error' or last;
        next if defined $reason;
        unlike $name, qr{[\\/:*?"<>|\x00-\x1f]}, "accepted name has no forbidden character"
          or last;
        unlike "${name}a.txt", qr/\A(?:CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(?:\.|\z)/i,
          'the message file of an accepted name is no device' or last;
    }
};

subtest 'a data folder of random files: loading never dies and says what it could not use' => sub {
    my @files = qw(settings.txt contact.txt trustedlist.txt buddya.txt buddym.txt schedule.txt);
    for my $run (1 .. $runs / 3) {
        my $f = TestFolder->new;
        $f->put($_, random_bytes(40)) for grep { rand() < 0.8 } @files;
        # Message files for some of the names the lists may hold.
        $f->put("bob$_", random_bytes(20)) for grep { rand() < 0.5 } 'a.txt', '.txt', 's.txt';
        my $config = eval { Tolvane::Config->load($f->data) };
        is $@, '', "run $run: no error" or last;
        ok !(grep { !defined || ref } $config->notes), 'every note is text' or last;
    }
};

done_testing;
