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

# The answer to bob's first message at a time of day, with a schedule.
sub scheduled_at {
    my ($schedule, $clock) = @_;
    my $f = folder();
    $f->put('schedule.txt', $schedule);
    $f->put('bobs.txt', 'SCHEDULED');
    my (undef, $t) = $f->run("clock $clock\nim bob hi\n");
    return (texts($t, 'bob'))[1];
}

subtest 'a scheduled message counts from its minute on' => sub {
    is scheduled_at('9:05:bob', '2024-05-01 09:04:59'), 'AWAY TEXT', 'a second before';
    is scheduled_at('9:05:bob', '2024-05-01 09:05:00'), 'SCHEDULED', 'at the minute';
    is scheduled_at('9:05:bob', '2024-05-01 17:00'), 'SCHEDULED', 'later that day';
    is scheduled_at('9:05:amy', '2024-05-01 17:00'), 'AWAY TEXT', 'another buddy\'s entry';
};

subtest 'the latest entry at or before now, and midnight' => sub {
    my $f = folder();
    $f->put('schedule.txt', "22:00:amy\r\n8:00:bob\r\n23:59:carol\r\n0:00:dave\r\n24:00:eve");
    $f->put("${_}s.txt", "SCHEDULED $_") for qw(amy bob carol dave eve);
    my (undef, $t) = $f->run(<<'S');
clock 2024-05-01 23:58
im carol one
clock 2024-05-01 23:59
im amy two
im bob three
clock 2024-05-02 00:00
im carol four
im dave five
im eve six
clock 2024-05-02 07:59
im bob seven
S
    is_deeply [texts($t, 'carol')], ['GREETING', 'AWAY TEXT'], '23:58: carol\'s 23:59 has not come';
    is_deeply [texts($t, 'amy')], ['GREETING', 'SCHEDULED amy'];
    is_deeply [texts($t, 'bob')], ['GREETING', 'SCHEDULED bob', 'AWAY TEXT'],
      'at 23:59 bob\'s 8:00 has come; at 7:59 the next morning it has not';
    is_deeply [texts($t, 'dave')], ['GREETING', 'SCHEDULED dave'], '0:00 counts from midnight';
    is_deeply [texts($t, 'eve')], ['GREETING', 'SCHEDULED eve'], '24:00 is midnight';

    # After midnight a new day begins: yesterday's entries wait for their
    # time again. The rate limit makes each buddy's later answer visible
    # only after the interval, so ask on request.
    $f = folder();
    $f->put('schedule.txt', "23:30:bob");
    $f->put('bobs.txt', 'LATE');
    (undef, $t) = $f->run(<<'S');
clock 2024-05-01 23:45
im bob hi
clock 2024-05-02 00:15
im bob away
clock 2024-05-02 23:30
im bob away
S
    is_deeply [texts($t, 'bob')], ['GREETING', 'LATE', 'AWAY TEXT', 'LATE'];
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
