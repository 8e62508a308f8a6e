# The bot's answers, against scripted conversations.
use strict;
use warnings;
use Test::More;
use FindBin ();
use lib "$FindBin::Bin/lib", "$FindBin::Bin/../lib";
use TestFolder;

sub texts { TestFolder::texts_to(@_) }

sub folder {
    my (%settings) = @_;
    my $f = TestFolder->new;
    $f->settings(%settings);
    return $f;
}

subtest 'the greeting goes with the first message only, then the away answer' => sub {
    my $f = folder();
    my (undef, $t) = $f->run(<<'S');
clock 2024-05-01 10:00
im bob hi
sleep 600
im bob are you there?
im amy hello
S
    is_deeply [texts($t, 'bob')], ['GREETING', 'AWAY TEXT', 'AWAY TEXT'];
    is_deeply [texts($t, 'amy')], ['GREETING', 'AWAY TEXT'], 'each buddy has his own first message';
};

subtest 'custom away message over scheduled message over away text' => sub {
    my $f = folder();
    $f->put('buddya.txt', "bob|\r\n");
    $f->put('boba.txt', "Bob, I'm at the game");
    $f->put('schedule.txt', "9:00:bob\r\n9:00:amy");
    $f->put('bobs.txt', 'Scheduled for bob');
    $f->put('amys.txt', 'Scheduled for amy');
    my (undef, $t) = $f->run(<<'S');
clock 2024-05-01 10:00
im bob hi
im amy hi
im carol hi
S
    is_deeply [texts($t, 'bob')], ['GREETING', "Bob, I'm at the game"];
    is_deeply [texts($t, 'amy')], ['GREETING', 'Scheduled for amy'];
    is_deeply [texts($t, 'carol')], ['GREETING', 'AWAY TEXT'];
};

subtest 'an empty message file is no message: the next rule answers' => sub {
    my $f = folder();
    $f->put('buddya.txt', "bob|\r\n");
    $f->put('boba.txt', "\r\n");
    $f->put('schedule.txt', '8:00:bob');
    $f->put('bobs.txt', '');
    my (undef, $t) = $f->run("clock 2024-05-01 10:00\nim bob hi\n");
    is_deeply [texts($t, 'bob')], ['GREETING', 'AWAY TEXT'];
};

# The answer to bob's first message at a time of day, with a schedule of
# bob's entries, each "H:MM" => its message.
sub scheduled_at {
    my ($clock, %entries) = @_;
    my $f = folder();
    my $n = 0;
    my @lines;
    # One buddy name per entry, all of them bob's screen name with other
    # blanks, so that each entry has a message file of its own.
    for my $time (sort keys %entries) {
        my $name = 'b' . (' ' x $n++) . 'ob';
        push @lines, "$time:$name";
        $f->put("${name}s.txt", $entries{$time});
    }
    $f->put('schedule.txt', join "\r\n", @lines);
    my (undef, $t) = $f->run("clock $clock\nim bob hi\n");
    return (texts($t, 'bob'))[1];
}

subtest 'a scheduled message counts from its minute on, until the next entry' => sub {
    my %day = ('9:05' => 'MORNING', '17:30' => 'EVENING');
    is scheduled_at('2024-05-01 09:04:59', %day), 'EVENING', 'a second before: the entry before';
    is scheduled_at('2024-05-01 09:05:00', %day), 'MORNING', 'at the minute';
    is scheduled_at('2024-05-01 17:29:59', %day), 'MORNING', 'up to the next entry';
    is scheduled_at('2024-05-01 17:30', %day), 'EVENING';
    is scheduled_at('2024-05-01 23:59:59', %day), 'EVENING';
    is scheduled_at('2024-05-02 00:00', %day), 'EVENING', 'after midnight: the previous day\'s last';
    is scheduled_at('2024-05-02 03:00', %day), 'EVENING';
    is scheduled_at('2024-05-01 12:00', '9:05' => 'ONLY'), 'ONLY', 'one entry holds all day';
    is scheduled_at('2024-05-01 08:00', '9:05' => 'ONLY'), 'ONLY';
};

subtest 'the boundary minutes: 0:00, 23:59, 24:00 and 60 minutes' => sub {
    my %edge = ('0:00' => 'MIDNIGHT', '12:00' => 'NOON', '23:59' => 'LAST');
    is scheduled_at('2024-05-01 00:00', %edge), 'MIDNIGHT', '0:00 counts from midnight';
    is scheduled_at('2024-05-01 11:59:59', %edge), 'MIDNIGHT';
    is scheduled_at('2024-05-01 23:58:59', %edge), 'NOON', '23:59 has not come';
    is scheduled_at('2024-05-01 23:59', %edge), 'LAST';
    is scheduled_at('2024-05-01 00:00', '24:00' => 'AT 24', '12:00' => 'NOON'), 'AT 24',
      '24:00 is midnight';
    is scheduled_at('2024-05-01 10:00', '9:60' => 'TEN', '8:00' => 'EIGHT'), 'TEN', '9:60 is 10:00';
    is scheduled_at('2024-05-01 09:59', '9:60' => 'TEN', '8:00' => 'EIGHT'), 'EIGHT';
    is scheduled_at('2024-05-01 17:00', '9:05' => ''), 'AWAY TEXT',
      'an empty scheduled message gives the away text';
};

subtest 'the schedule follows the clock through a run, over midnight' => sub {
    my $f = folder();
    $f->put('schedule.txt', "8:00:bob\r\n23:30:bob\r\n9:00:amy");
    $f->put('bobs.txt', 'SCHEDULED bob');
    $f->put('amys.txt', 'SCHEDULED amy');
    # bob's two entries share bobs.txt; amy's message is for amy only.
    my (undef, $t) = $f->run(<<'S');
clock 2024-05-01 23:45
im bob hi
im carol hi
clock 2024-05-02 00:15
im amy hi
S
    is_deeply [texts($t, 'bob')], ['GREETING', 'SCHEDULED bob'];
    is_deeply [texts($t, 'carol')], ['GREETING', 'AWAY TEXT'], 'no entry of his own';
    is_deeply [texts($t, 'amy')], ['GREETING', 'SCHEDULED amy'], 'yesterday\'s 9:00 at 0:15';
};

subtest 'names match without case and blanks, files are found by the name as typed' => sub {
    my $f = folder();
    $f->put('buddya.txt', "John Doe|\r\n");
    $f->put('John Doea.txt', 'For John');
    my (undef, $t) = $f->run("clock 2024-05-01 10:00\nim johndoe hi\n");
    is_deeply [texts($t, 'johndoe')], ['GREETING', 'For John'];
};

subtest 'at most one automatic answer per buddy per interval' => sub {
    my $f = folder();
    my (undef, $t) = $f->run(<<'S');
clock 2024-05-01 10:00
im bob one
sleep 60
im bob two
sleep 119
im bob three
sleep 1
im bob four
im bob five
S
    is_deeply [texts($t, 'bob')], ['GREETING', 'AWAY TEXT', 'AWAY TEXT'],
      'three minutes by default: "four" is answered, "two", "three" and "five" are not';

    $f = folder();
    $f->put('Kavri.ini', "answer_interval = 10\r\n");
    (undef, $t) = $f->run(<<'S');
clock 2024-05-01 10:00
im bob one
sleep 300
im bob two
sleep 300
im bob three
S
    is_deeply [texts($t, 'bob')], ['GREETING', 'AWAY TEXT', 'AWAY TEXT'], 'ten minutes from Kavri.ini';
};

subtest 'automatic replies are never answered' => sub {
    my $f = folder(greeting => 'Hello, you reached Kavri');
    my (undef, $t) = $f->run(<<'S');
clock 2024-05-01 10:00
autoim bob I am away from my computer
im amy Auto-response: out to lunch
im carol AUTO REPLY gone
im dave hi
sleep 600
im dave   hello,  YOU reached kavri
S
    is_deeply [texts($t, 'bob')], [], 'marked as automatic by the network';
    is_deeply [texts($t, 'amy')], [], 'an auto-response by its words';
    is_deeply [texts($t, 'carol')], [];
    is_deeply [texts($t, 'dave')], ['Hello, you reached Kavri', 'AWAY TEXT'],
      'our own greeting coming back is not answered';
};

subtest 'info gives the menu; requests are answered within the interval' => sub {
    my $f = folder();
    $f->put('contact.txt', "555-1234\r\n\r\njoe\@example.org\r\n\r\n\r\n");
    my (undef, $t) = $f->run(<<'S');
clock 2024-05-01 10:00
im bob Info
im bob contact
im bob away!
S
    my @got = texts($t, 'bob');
    is $got[0], 'GREETING';
    like $got[1], qr/\ASend one of these words:\ninfo - this list\ncontact - Joe's contact details\n/;
    is $got[2], "Joe's contact details:\nPhone: 555-1234\nEmail: joe\@example.org";
    is $got[3], 'AWAY TEXT';
    is scalar @got, 4;
};

subtest 'requests have a limit too' => sub {
    my $f = folder();
    my (undef, $t) = $f->run("clock 2024-05-01 10:00\n" . ("im bob info\n" x 9));
    is scalar(texts($t, 'bob')), 7, 'the greeting with the first, then five more';
};

subtest 'contact details: to anyone, or to trusted buddies only' => sub {
    my $script = "clock 2024-05-01 10:00\nim Alice contact\nim bob contact\n";
    my $f = folder(require_trusted => 0);
    $f->put('contact.txt', "555-1234\r\n");
    $f->put('trustedlist.txt', "alice|\r\n");
    my (undef, $t) = $f->run($script);
    is_deeply [texts($t, 'bob')], ['GREETING', "Joe's contact details:\nPhone: 555-1234"], 'option off';

    $f = folder(require_trusted => 1);
    $f->put('contact.txt', "555-1234\r\n");
    $f->put('trustedlist.txt', "alice|\r\n");
    (undef, $t) = $f->run($script);
    is_deeply [texts($t, 'Alice')], ['GREETING', "Joe's contact details:\nPhone: 555-1234"],
      'trusted, in another case';
    is_deeply [texts($t, 'bob')], ['GREETING', 'Sorry, Joe gives contact details only to trusted buddies.'];

    $f = folder(require_trusted => 1);
    (undef, $t) = $f->run($script);
    is_deeply [texts($t, 'bob')], ['GREETING', 'Sorry, Joe gives contact details only to trusted buddies.'],
      'no trusted list: no one is trusted';
    is_deeply [texts($t, 'Alice')], ['GREETING', 'Sorry, Joe gives contact details only to trusted buddies.'];

    $f = folder();
    (undef, $t) = $f->run($script);
    is_deeply [texts($t, 'bob')], ['GREETING', 'Joe has not left any contact details.'];
};

done_testing;
