# Messages left in Deliver Messages reach their buddy once.
use strict;
use warnings;
use Test::More;
use FindBin ();
use lib "$FindBin::Bin/lib", "$FindBin::Bin/../lib";
use TestFolder;

sub texts { TestFolder::texts_to(@_) }

my $DELIVERY = "Joe left this message for you:\nYour book is on my desk";

sub folder {
    my $f = TestFolder->new;
    $f->settings;
    $f->put('buddym.txt', "bob|\r\n");
    $f->put('bob.txt', "Your book is on my desk\r\n");
    return $f;
}

subtest 'delivered when the buddy comes online, and only then' => sub {
    my $f = folder();
    my (undef, $t) = $f->run("clock 2024-05-01 10:00\nonline amy\nonline bob\nonline bob\nim bob hi\n");
    is_deeply [texts($t, 'bob')], [$DELIVERY, 'GREETING', 'AWAY TEXT'];
    is_deeply [texts($t, 'amy')], [];
    is_deeply [map { $_->{buddies} } $t->signons], [['bob']], 'the network is asked to watch bob';
};

subtest 'delivered with the first message when the buddy was not seen coming online' => sub {
    my $f = folder();
    my (undef, $t) = $f->run("clock 2024-05-01 10:00\nim Bob hi\nsleep 600\nim bob again\n");
    is_deeply [texts($t, 'Bob')], [$DELIVERY, 'GREETING', 'AWAY TEXT'];
    is_deeply [texts($t, 'bob')], ['AWAY TEXT'], 'and not again';
};

subtest 'not delivered again in a later run; a changed message is new' => sub {
    my $f = folder();
    $f->run("clock 2024-05-01 10:00\nonline bob\n");
    like $f->get('delivered.log'), qr/\A2024-05-01 10:00:00\tbob\t[0-9a-f]{32}\r\n\z/;
    my (undef, $t) = $f->run("clock 2024-05-02 10:00\nonline bob\nim bob hi\n");
    is_deeply [texts($t, 'bob')], ['GREETING', 'AWAY TEXT'], 'second run: not delivered';

    $f->put('bob.txt', 'Now it is on the shelf');
    (undef, $t) = $f->run("clock 2024-05-03 10:00\nonline bob\n");
    is_deeply [texts($t, 'bob')], ["Joe left this message for you:\nNow it is on the shelf"];
};

subtest 'an unreadable record holds deliveries back instead of repeating them' => sub {
    my $f = folder();
    mkdir $f->path('delivered.log');
    my ($bot, $t) = $f->run("clock 2024-05-01 10:00\nonline bob\n");
    is_deeply [texts($t, 'bob')], [];
    like $f->get('results.txt'), qr/Cannot read delivered\.log .*held back/;
};

# A network that takes only the head of every message.
{
    package Truncating;
    our @ISA = ('Tolvane::Transport::Scripted');
    sub send_im { my ($self, $to, $text) = @_; $self->SUPER::send_im($to, substr $text, 0, 10) }
}

subtest 'a delivery counts only when all of it went out; the page holds what did' => sub {
    my $f = folder();
    my $t = Truncating->new(script => "clock 2024-05-01 10:00\nonline bob\n", end => 'quit');
    my $bot = Tolvane::Bot->new(dir => $f->data, transport => $t);
    $bot->run;
    ok !defined $f->get('delivered.log'), 'not recorded';
    my $page = $bot->archive->page_html;
    like $page, qr/\Q@{[ substr $DELIVERY, 0, 10 ]}\E/;
    unlike $page, qr/book/, 'the rest never went out';

    (undef, $t) = $f->run("clock 2024-05-01 11:00\nonline bob\n");
    is_deeply [texts($t, 'bob')], [$DELIVERY], 'so it goes out in the next run';
};

subtest 'an empty message is not delivered' => sub {
    my $f = folder();
    $f->put('bob.txt', "\r\n");
    my (undef, $t) = $f->run("clock 2024-05-01 10:00\nonline bob\n");
    is_deeply [texts($t, 'bob')], [], 'empty';
    ok !defined $f->get('delivered.log');
};

done_testing;
