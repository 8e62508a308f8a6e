use strict;
use warnings;
use Test::More;
use FindBin ();
use lib "$FindBin::Bin/lib", "$FindBin::Bin/../lib";
use TestFolder;
use Tolvane::Files qw(split_lines message_text parse_bar_list unsafe_name_reason
  write_file_whole read_file);

subtest 'line ends: CR LF, the older CR CR LF, LF, and no final line end' => sub {
    is_deeply [split_lines("a\r\nb\r\n")], ['a', 'b'];
    is_deeply [split_lines("a\r\r\nb\r\r\n")], ['a', 'b'], 'CR CR LF is one line break';
    is_deeply [split_lines("a\nb")], ['a', 'b'];
    is_deeply [split_lines("a\r\n\r\nb")], ['a', '', 'b'], 'an empty line stays';
    is_deeply [split_lines("a\r")], ['a'], 'a CR at the very end is no text';
    is_deeply [split_lines('')], [];
    is_deeply [split_lines("\r\n")], [''];
};

subtest 'message text keeps inner breaks and drops the blank end' => sub {
    is message_text("Gone fishing\r\r\nback at 5\r\r\n"), "Gone fishing\nback at 5";
    is message_text("Hi\r\n\r\n  \r\n"), 'Hi';
    is message_text("\r\n"), '', 'an empty message file holds no message';
    is message_text(''), '';
};

subtest 'bar list: each bar ends an entry, text after the last is returned apart' => sub {
    my ($entries, $rest) = parse_bar_list('alice|bob|carol|');
    is_deeply $entries, [qw(alice bob carol)];
    is $rest, '';
    ($entries, $rest) = parse_bar_list('alice|bob');
    is_deeply $entries, ['alice'];
    is $rest, 'bob';
    ($entries) = parse_bar_list('||');
    is_deeply $entries, ['', ''];
    ($entries) = parse_bar_list(('x' x 150) . '|');
    is length $entries->[0], 150, 'an entry of any length is read whole';
};

subtest 'unsafe buddy names never become file names' => sub {
    for my $name ('a/b', 'a\\b', 'x:y', 'wh?', 'st*r', 'q"t', '<x>', 'a|b', "tab\tname", "nl\n") {
        ok unsafe_name_reason($name, 'a.txt'), "refused: $name";
    }
    for my $name (qw(CON prn Aux NUL COM1 lpt9 con.txt nul.anything)) {
        like unsafe_name_reason($name, '.txt'), qr/device/, "device: $name";
    }
    like unsafe_name_reason('con.x', 'a.txt'), qr/device/, 'con.xa.txt is a device';
    for my $name (qw(con NUL aux com1 lpt1), 'bob.', 'bob ') {
        is unsafe_name_reason($name, 'a.txt'), undef, "the message file of '$name' is safe";
        is unsafe_name_reason($name, 's.txt'), undef;
    }
    like unsafe_name_reason('buddy', 'a.txt'), qr/buddya\.txt/;
    like unsafe_name_reason('settings', '.txt'), qr/settings\.txt/;
    like unsafe_name_reason('setting', 's.txt'), qr/settings\.txt/;
    like unsafe_name_reason('Results', '.txt'), qr/results\.txt/i, 'case does not matter';
    is unsafe_name_reason('buddy', '.txt'), undef, 'buddy.txt is no file of the folder';
    is unsafe_name_reason('john doe', 's.txt'), undef, 'blanks inside are allowed';
    is unsafe_name_reason('', 'a.txt'), undef, 'the empty name is allowed';
    is unsafe_name_reason('COM10', '.txt'), undef;
    is unsafe_name_reason('console', '.txt'), undef;
};

subtest 'whole-file write replaces the file and leaves nothing beside it' => sub {
    my $folder = TestFolder->new;
    my $path = $folder->path('results.txt');
    $folder->put('results.txt', "old status\r\nold note\r\n");
    is write_file_whole($path, "new\r\n"), undef;
    is $folder->get('results.txt'), "new\r\n";
    is_deeply [TestFolder::files_in($folder->data)], ['results.txt'];
    my $missing = File::Spec->catfile($folder->data, 'no', 'such', 'x.txt');
    like write_file_whole($missing, 'x'), qr/cannot write/, 'a failure is reported, not fatal';
    my ($data, $err, $gone) = read_file($missing);
    ok !defined $data && $gone, 'a missing file is told apart';
    mkdir $folder->path('boba.txt');
    ($data, $err, $gone) = read_file($folder->path('boba.txt'));
    ok !defined $data && !$gone, 'a folder in place of a file is unreadable, not missing';
};

done_testing;
